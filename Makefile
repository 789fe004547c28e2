# The two commands a newcomer needs:
#   make demo   installs what is missing, builds, starts demo_rgb
#   make test   installs what is missing, builds, runs every test
PRESET ?= release
JOBS ?=

.PHONY: demo demo-pal test build bootstrap capture format clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) $(if $(JOBS),-j $(JOBS))

demo: build
	build/$(PRESET)/shell/demo_rgb

demo-pal: build
	build/$(PRESET)/shell/demo_pal

test: build
	ctest --preset $(PRESET) $(if $(JOBS),-j $(JOBS),-j 2)

capture: build
	build/$(PRESET)/tools/capture/demo_capture -o big_parade.mp4

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
