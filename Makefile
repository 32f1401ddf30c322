# Front door: `make test` and `make demo` are all a newcomer needs on Debian 12.
JOBS ?= $(shell nproc)

.PHONY: all deps build test asan fuzz bench demo package windows windows-deps windows-vm clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default -j $(JOBS)

asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target fuzzers
	scripts/run-fuzzers.sh build/fuzz $${FUZZ_SECONDS:-60}

bench: build
	scripts/run-benchmarks.sh build/default

demo: build
	scripts/demo.sh build/default

# The Debian package, in build/package/: only the build dependencies of debian/control
# are installed for it.
package:
	@scripts/install-deps.sh --build-deps
	scripts/build-package.sh

# Windows: MorvantideNT.exe and morvantide-package.exe 64-bit, Morvantide4.exe 32-bit
# (ASPI managers are 32-bit DLLs), each build's tests under wine on a virtual display.
windows-deps:
	@scripts/install-deps.sh scripts/windows-packages.txt

windows: windows-deps
	scripts/windows-build.sh

# Opt-in, about 10 minutes without KVM: both programs' Windows builds flash scsi_debug
# through their dialogs under wine inside the qemu VM (tools/wine_vm_check/).
windows-vm: deps windows-deps
	cmake --preset windows64
	cmake --build --preset windows64 -j $(JOBS) --target MorvantideNT morvantide-package pass_through_probe
	cmake --preset windows32
	cmake --build --preset windows32 -j $(JOBS) --target Morvantide4 pass_through_probe aspi_probe aspi_bridge
	tools/wine_vm_check/wine-vm-check.sh

clean:
	rm -rf build
