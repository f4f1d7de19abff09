# Shared by the benchmark scripts: sourced, not run.

seconds() {  # runs a command, prints nothing of its own, gives its wall time
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
smaller() {  # A B: the smaller of two times; B alone when A is empty
  if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}
best_of_three() {  # runs a command three times, gives the shortest wall time
  local best=""
  for _ in 1 2 3; do
    best=$(smaller "$best" "$(seconds "$@")")
  done
  echo "$best"
}
