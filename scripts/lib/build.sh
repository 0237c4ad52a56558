# Configure and build both presets (native, and win32 or win64 as env.sh chose). Sourced; needs env.sh. PARLIX_BUILD_DIR moves the build
# folders (default: build/ in the repository).
build_all() {
  cd "$PARLIX_ROOT"
  mkdir -p "$BUILD_DIR"
  local preset
  for preset in native "$PARLIX_WIN"; do
    if [ ! -f "$BUILD_DIR/$preset/build.ninja" ]; then
      cmake --preset "$preset" -B "$BUILD_DIR/$preset" >"$BUILD_DIR/configure-$preset.log" 2>&1 || {
        cat "$BUILD_DIR/configure-$preset.log"; return 1; }
    fi
    cmake --build "$BUILD_DIR/$preset" -- -k 0 >"$BUILD_DIR/build-$preset.log" 2>&1 || {
      grep -E 'error|FAILED' "$BUILD_DIR/build-$preset.log" | head -40
      echo "build of $preset failed (log: $BUILD_DIR/build-$preset.log)"; return 1; }
  done
}
