# Sourced by the end-to-end checks: enter_sandbox_home FOLDER points the home folder, the
# XDG folders, the settings store and the session's runtime folder into FOLDER, so nothing
# a check runs can reach the real ones, no restart is ever requested, and nothing of the
# caller's desktop session (its message bus, display server or X authority) reaches them.
enter_sandbox_home() {
  local root=$1
  export HOME="$root/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
  export XDG_CACHE_HOME="$HOME/.cache" XDG_STATE_HOME="$HOME/.local/state"
  export XDG_RUNTIME_DIR="$root/runtime"
  export HUSHVAULT_REGISTRY="$root/registry.db" HUSHVAULT_NO_RESTART=1
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XAUTHORITY
}
