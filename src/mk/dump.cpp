#include "mk/dump.h"

#include <cstdio>

namespace mk {

std::string QuoteBytes(const char* s) {
  std::string out = "\"";
  for (; *s; ++s) {
    unsigned char c = static_cast<unsigned char>(*s);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c >= 0x20 && c <= 0x7E) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out + "\"";
}

std::string DumpStorage(c4_Storage& storage) {
  std::string out = "structure: " + QuoteBytes(storage.Description().c_str()) + "\n";
  if (!storage.HasHeader())
    out += "byte order: none (empty file, no header)\n";
  else if (storage.IsBigEndian())
    out += "byte order: big-endian (header \"LJ\")\n";
  else
    out += "byte order: little-endian (header \"JL\")\n";
  for (int v = 0; v < storage.NumViews(); ++v) {
    std::string name = storage.NthViewName(v);
    c4_View view = storage.View(name.c_str());
    out += "view " + name + " rows=" + std::to_string(view.GetSize()) + "\n";
    for (int r = 0; r < view.GetSize(); ++r) {
      out += name + "[" + std::to_string(r) + "]";
      for (int p = 0; p < view.NumProperties(); ++p) {
        const c4_Property& prop = view.NthProperty(p);
        out += " ";
        out += prop.Name();
        out += "=";
        if (prop.Type() == 'I')
          out += std::to_string(static_cast<t4_i32>(c4_IntProp(prop.Name())(view[r])));
        else
          out += QuoteBytes(c4_StringProp(prop.Name())(view[r]));
      }
      out += "\n";
    }
  }
  return out;
}

}  // namespace mk
