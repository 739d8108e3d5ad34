# Sourced by the scripts: install_missing PACKAGE... installs, with apt-get,
# the Debian packages of the list that are not installed yet; a name of the
# form cmd:PACKAGE stands for a package needed only when the command cmd is
# missing (npm may come with another Node.js package).
install_missing() {
  local missing=() p
  for p in "$@"; do
    if [[ $p == *:* ]]; then
      command -v "${p%%:*}" >/dev/null || missing+=("${p#*:}")
    else
      dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    fi
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "installing: ${missing[*]}"
  local sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
}
