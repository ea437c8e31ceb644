# Whole-program benchmarks, run by app_bench.sh under a private Xvfb and jackd.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst x11)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)

add_executable(bare_sdl_window BareSdlWindow.cpp)
target_link_libraries(bare_sdl_window PRIVATE PkgConfig::SDL2)

add_executable(startup_bench StartupBench.cpp)
target_link_libraries(startup_bench PRIVATE PkgConfig::XTST)

add_executable(key_to_sysex_bench KeyToSysExBench.cpp)
target_link_libraries(key_to_sysex_bench PRIVATE PkgConfig::XTST PkgConfig::JACK)

add_executable(flash_bench FlashBench.cpp)
target_link_libraries(flash_bench PRIVATE lumivant_app lumivant_resources)
