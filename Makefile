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

# The browser lessons mostly wait on the program's pacing: their three engines run side by side.
test:
	@scripts/install-deps.sh test
	$(MAKE) web
	npm ci --prefix tests/web
	cmake --preset ci
	cmake --build --preset ci
	ctest --preset ci --label-exclude web
	ctest --preset ci --label-regex web --parallel 4
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The browser edition: one self-contained page, build/web/mikroteilchen.html, that opens from
# a USB stick or any web server. Its own build folder leaves the presets alone.
web:
	@scripts/install-deps.sh web
	emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_WARNINGS_AS_ERRORS=ON
	cmake --build build/web -j2
	@echo "The browser edition: build/web/mikroteilchen.html"

clean:
	rm -rf build
