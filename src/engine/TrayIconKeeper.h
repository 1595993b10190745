// The tray icon is the user's only way to reach the program, so it must be
// there whenever the program runs. A start at logon can come before the
// shell's notification area exists, and a restarted shell forgets every
// icon: an add that fails is tried again on a timer, and a new shell
// ("TaskbarCreated") gets the icon again, until an add succeeds.
#pragma once

namespace engine {

class TrayIconKeeper {
 public:
  // How often a failed add is tried again.
  static constexpr unsigned kRetryMs = 2000;

  // The shell's side, for the tray window to implement.
  class Shell {
   public:
    virtual ~Shell() = default;
    // Adds the icon; false when the shell did not take it.
    virtual bool AddIcon() = 0;
    // Starts or stops the retry timer (kRetryMs).
    virtual void SetRetryTimer(bool on) = 0;
  };

  explicit TrayIconKeeper(Shell& shell) : m_shell(shell) {}

  // The icon is wanted from now on: added at once, or retried.
  void Start();
  // A new shell announced itself: it knows nothing of the icon.
  void OnShellRestarted();
  void OnRetryTimer();
  // The icon taken away (hidden, or removed for good) and shown again: no
  // add is tried while it is away.
  void SetWanted(bool wanted);
  // The shell holds our icon now.
  bool Added() const { return m_added; }

 private:
  void TryAdd();
  void SetRetrying(bool on);

  Shell& m_shell;
  bool m_wanted = false;
  bool m_added = false;
  bool m_retrying = false;
};

}  // namespace engine
