# The Windows build: the runtime cross-compiled for 64-bit Windows with
# MinGW-w64, against the static libraries scripts/build-windows-libraries
# puts into the private prefix. Configure with the toolchain file:
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=windows/mingw-w64-x86_64.cmake
#
# The platform layer's POSIX and X11 files (windows/posix_only_sources.txt)
# give way to runtime/platform/windows. It builds the runtime library
# (kvruntime), its entry point (kvmain), the Windows platform's tests and,
# given a kvbasic of this machine to translate them with
# (-DKVBASIC_EXECUTABLE=<native build>/kvbasic), the examples as .exe files.
foreach(library SDL2 SDL2_mixer SDL2_image SDL2_ttf freetype lzo2 enet avformat avcodec swscale swresample avutil)
  if(NOT EXISTS "${KV_WINDOWS_PREFIX}/lib/lib${library}.a")
    message(FATAL_ERROR "${KV_WINDOWS_PREFIX}/lib/lib${library}.a is missing: run scripts/install-windows-deps (or scripts/build-windows-libraries)")
  endif()
endforeach()

find_package(PkgConfig REQUIRED)
# The toolchain file points pkg-config at the prefix alone.
pkg_check_modules(SDL2 REQUIRED sdl2)
pkg_check_modules(SDL2_MIXER REQUIRED SDL2_mixer)
pkg_check_modules(SDL2_IMAGE REQUIRED SDL2_image)
pkg_check_modules(SDL2_TTF REQUIRED SDL2_ttf)
pkg_check_modules(LZO2 REQUIRED lzo2)
pkg_check_modules(ENET REQUIRED libenet)
pkg_check_modules(FFMPEG REQUIRED libavformat libavcodec libswscale libswresample libavutil)

# The runtime's layers as on Linux (runtime/Runtime.cmake), the platform
# layer with runtime/platform/windows in place of the POSIX files.
include(${PROJECT_SOURCE_DIR}/runtime/Runtime.cmake)
kv_add_runtime(PLATFORM_FOLDER platform/windows LEFT_OUT ${PROJECT_SOURCE_DIR}/windows/posix_only_sources.txt)
# GL/gl.h without windows.h (windows/include/GL/gl.h says why).
target_include_directories(kv_runtime_usage BEFORE INTERFACE ${PROJECT_SOURCE_DIR}/windows/include)
# The lean windows.h without min and max macros; Windows 10 and later.
# M_PI and its kin, which glibc's math.h has in C++ by default.
target_compile_definitions(kv_runtime_usage INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
  _USE_MATH_DEFINES)
# The libraries' headers count as system headers, as they do on Linux from
# /usr/include: their own warnings are not the runtime's.
target_include_directories(kv_runtime_usage SYSTEM INTERFACE
  ${SDL2_INCLUDE_DIRS} ${SDL2_MIXER_INCLUDE_DIRS} ${SDL2_IMAGE_INCLUDE_DIRS} ${SDL2_TTF_INCLUDE_DIRS}
  ${LZO2_INCLUDE_DIRS} ${ENET_INCLUDE_DIRS} ${FFMPEG_INCLUDE_DIRS})
# The runtime has its own entry point: SDL's (SDL_main, SDL2main) is left
# out, and so is -mwindows, which the programs choose for themselves (test
# programs are console programs).
set(kv_windows_cflags
  ${SDL2_CFLAGS_OTHER} ${SDL2_MIXER_CFLAGS_OTHER} ${SDL2_IMAGE_CFLAGS_OTHER} ${SDL2_TTF_CFLAGS_OTHER}
  ${LZO2_CFLAGS_OTHER} ${ENET_CFLAGS_OTHER} ${FFMPEG_CFLAGS_OTHER})
set(kv_windows_libraries
  ${SDL2_TTF_STATIC_LDFLAGS} ${SDL2_IMAGE_STATIC_LDFLAGS} ${SDL2_MIXER_STATIC_LDFLAGS} ${SDL2_STATIC_LDFLAGS}
  ${LZO2_STATIC_LDFLAGS} ${ENET_STATIC_LDFLAGS} ${FFMPEG_STATIC_LDFLAGS})
list(FILTER kv_windows_cflags EXCLUDE REGEX "^-Dmain=SDL_main$")
list(FILTER kv_windows_libraries EXCLUDE REGEX "^-(mwindows|lSDL2main)$")
target_compile_options(kv_runtime_usage INTERFACE ${kv_windows_cflags})
target_compile_definitions(kv_runtime_usage INTERFACE SDL_MAIN_HANDLED)
# Everything static: a program imports only Windows' own DLLs.
target_link_libraries(kv_runtime_usage INTERFACE ${kv_windows_libraries} opengl32 winmm advapi32 bcrypt ws2_32 -static)

# What `kvbasic build --windows --sdk <this build>` compiles and links with,
# one setting a line: the same as this build's own programs.
set(kv_windows_description "compiler=${CMAKE_CXX_COMPILER}\n")
foreach(folder ${PROJECT_SOURCE_DIR}/runtime ${PROJECT_SOURCE_DIR}/windows/include ${SDL2_INCLUDE_DIRS}
               ${SDL2_MIXER_INCLUDE_DIRS} ${SDL2_IMAGE_INCLUDE_DIRS} ${SDL2_TTF_INCLUDE_DIRS} ${LZO2_INCLUDE_DIRS}
               ${ENET_INCLUDE_DIRS} ${FFMPEG_INCLUDE_DIRS})
  string(APPEND kv_windows_description "include=${folder}\n")
endforeach()
string(APPEND kv_windows_description "library=${CMAKE_BINARY_DIR}\nfont=${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp\n")
foreach(flag -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0A00 -D_USE_MATH_DEFINES -DSDL_MAIN_HANDLED
             ${kv_windows_cflags})
  string(APPEND kv_windows_description "compile=${flag}\n")
endforeach()
foreach(flag ${kv_windows_libraries} -lopengl32 -lwinmm -ladvapi32 -lbcrypt -lws2_32 -static)
  string(APPEND kv_windows_description "link=${flag}\n")
endforeach()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows_toolchain.txt CONTENT "${kv_windows_description}")

# The process entry point, as on Linux: main() hands the command line to the
# generated WinMain.
add_library(kvmain STATIC ${PROJECT_SOURCE_DIR}/runtime/frame/entry_main.cpp)
target_link_libraries(kvmain PUBLIC kvruntime)

# The examples, translated by the native kvbasic (the translator's output is
# the same C++ for every platform) and compiled for Windows. They are
# console programs, so that what they print reaches the console that
# started them; the default font and the examples' media lie beside them.
if(KVBASIC_EXECUTABLE)
  include(${PROJECT_SOURCE_DIR}/tools/KvBasic.cmake)
  file(GLOB KV_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.bas)
  foreach(example ${KV_EXAMPLES})
    get_filename_component(name ${example} NAME_WE)
    kv_add_basic_program(${name} SOURCES ${example})
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp ${CMAKE_BINARY_DIR}/Smalfont.bmp COPYONLY)
  file(GLOB KV_EXAMPLE_MEDIA CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/media/examples/*)
  foreach(file ${KV_EXAMPLE_MEDIA})
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${CMAKE_BINARY_DIR}/${name} COPYONLY)
  endforeach()
endif()

# The Windows platform's own tests (windows/tests), run by ctest through
# Wine (the toolchain file makes it the emulator). They list their tests
# when ctest runs, not at build time, which would need Wine in the build.
if(KV_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB KV_WINDOWS_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/windows/tests/*.cpp)
  add_executable(test_windows_platform ${KV_WINDOWS_TEST_SOURCES})
  target_link_libraries(test_windows_platform PRIVATE kvruntime GTest::gtest)
  gtest_discover_tests(test_windows_platform DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120)
  include(${PROJECT_SOURCE_DIR}/windows/RuntimeTests.cmake)
endif()

# A translated program run under Wine: what it draws and writes.
if(KV_BUILD_TESTS AND KVBASIC_EXECUTABLE)
  kv_add_basic_program(smoke SOURCES ${PROJECT_SOURCE_DIR}/windows/tests/programs/smoke.bas)
  add_test(NAME WindowsSmokeProgram
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:smoke> "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            -DFOLDER=${CMAKE_BINARY_DIR}/smoke-run -P ${PROJECT_SOURCE_DIR}/windows/tests/run_smoke_program.cmake)
  set_tests_properties(WindowsSmokeProgram PROPERTIES TIMEOUT 180)
  # The same program built by `kvbasic build --windows` against this build.
  add_test(NAME WindowsKvbasicBuild
    COMMAND ${CMAKE_COMMAND} -DKVBASIC=${KVBASIC_EXECUTABLE} -DSDK=${CMAKE_BINARY_DIR}
            -DSOURCE=${PROJECT_SOURCE_DIR}/windows/tests/programs/smoke.bas
            -DMEDIA=${PROJECT_SOURCE_DIR}/windows/tests/programs/smoke_media
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DFOLDER=${CMAKE_BINARY_DIR}/kvbasic-build-run
            -P ${PROJECT_SOURCE_DIR}/windows/tests/run_kvbasic_build_windows.cmake)
  set_tests_properties(WindowsKvbasicBuild PROPERTIES TIMEOUT 300)
endif()
include(${PROJECT_SOURCE_DIR}/windows/tests/KvbasicBuildTests.cmake)

# Zorvelin for Windows, its single-file form and its test under Wine.
include(${PROJECT_SOURCE_DIR}/windows/WindowsGame.cmake)
