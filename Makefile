# Two commands do everything: `make run` and `make test`. Both install missing
# Debian packages first, then configure and build through the CMake presets.
.PHONY: run test package deps build asan-test clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release

run: build
	./build/release/bin/mikroteilchen

# The Debian package for school computers, from the Release build:
# build/release/package/mikroteilchen_<version>-1_<arch>.deb
package: build
	cd build/release && cpack -G DEB

test: deps
	cmake --preset ci
	cmake --build --preset ci
	ctest --preset ci
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

clean:
	rm -rf build
