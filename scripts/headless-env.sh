# Sourced by the test scripts: a temporary HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR
# (removed at exit) so that no test touches the user's settings, and Qt's offscreen
# platform.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
