# Three commands do everything: `make run`, `make test` and `make web`. Each installs the
# Debian packages it needs first (only those missing), then configures and builds.
.PHONY: run test package web clean

run:
	@scripts/install-deps.sh run
	cmake --preset release
	cmake --build --preset release
	./build/release/bin/mikroteilchen

# The Debian package for school computers, from the Release build:
# build/release/package/mikroteilchen_<version>-1_<arch>.deb
package:
	@scripts/install-deps.sh package
	cmake --preset release
	cmake --build --preset release
	cd build/release && cpack -G DEB

test:
	@scripts/install-deps.sh test
	cmake --preset ci
	cmake --build --preset ci
	ctest --preset ci
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

clean:
	rm -rf build
