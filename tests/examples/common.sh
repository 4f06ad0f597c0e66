# Shared start of the example test scripts: checks the arguments, sets
# root to the repository root and makes QUILLB an absolute path.
# Sourced as: . "$(dirname "$0")/common.sh"
set -u
LC_ALL=C
export LC_ALL
if [ $# -ne 1 ] || [ -z "${QUILLB:-}" ]; then
  echo "usage: QUILLB=<quillb> $0 <repository-root>" >&2
  exit 2
fi
root=$(cd "$1" && pwd)
case $QUILLB in
  /*) ;;
  */*) QUILLB=$(cd "$(dirname "$QUILLB")" && pwd)/$(basename "$QUILLB") ;;
esac
