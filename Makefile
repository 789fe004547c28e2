# The two commands a newcomer needs:
#   make demo   installs what is missing, builds, starts demo_rgb
#   make test   installs what is missing, builds, runs every test
# and `make capture`, which writes the demo as big_parade.mp4,
# `make windows`, which cross-builds demo_rgb.exe and demo_pal.exe, and
# `make web`, which builds the web page into build/web.
PRESET ?= release
JOBS ?=

.PHONY: demo demo-pal test build bootstrap bootstrap-tests bootstrap-windows bootstrap-web windows web capture format clean

bootstrap:
	@scripts/bootstrap

# The tests build and run the Windows programs and the web page too: cross
# compilers and Wine, Emscripten and Chromium.
bootstrap-tests:
	@scripts/bootstrap --windows --web

bootstrap-windows:
	@scripts/bootstrap --windows

bootstrap-web:
	@scripts/bootstrap --web

build: bootstrap
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) $(if $(JOBS),-j $(JOBS))

demo: build
	build/$(PRESET)/shell/demo_rgb

demo-pal: build
	build/$(PRESET)/shell/demo_pal

test: bootstrap-tests build
	ctest --preset $(PRESET) $(if $(JOBS),-j $(JOBS),-j 2)

# The Windows programs: build/windows-x86/dist/demo_rgb.exe and demo_pal.exe
# (x86, stripped), and the x64 ones in build/windows-x64/shell/.
windows: bootstrap-windows
	scripts/build_windows both $(if $(JOBS),-j $(JOBS))

# The web page: build/web/index.html with demo_rgb and demo_pal as .js and
# .wasm. Serve it with `cd build/web && python3 -m http.server` and open
# http://localhost:8000/.
web: bootstrap-web
	cmake --preset web >/dev/null
	cmake --build --preset web $(if $(JOBS),-j $(JOBS),-j 2)

# The whole demo as a video with its soundtrack (ffmpeg), played on the
# virtual platform: the same file on every run. `make capture PAL=1` captures
# demo_pal; `make capture QUALITY=small` makes a smaller file, slower.
capture: bootstrap
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) --target demo_capture $(if $(JOBS),-j $(JOBS))
	build/$(PRESET)/tools/capture/demo_capture $(if $(PAL),--pal) $(if $(QUALITY),--quality $(QUALITY)) -o big_parade.mp4

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
