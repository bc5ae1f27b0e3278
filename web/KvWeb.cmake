# The web build: the runtime and the programs compiled to WebAssembly with
# Emscripten, each program a folder of static files (index.html, index.js,
# index.wasm, index.data with the media) that a browser plays from any web
# server. Configure with
#
#   emcmake cmake -S . -B build-web -G Ninja -DKV_WEB=ON \
#     -DKVBASIC_EXECUTABLE=<native build>/kvbasic
#
# after scripts/install-web-deps has built SDL2, SDL2_mixer, SDL2_image,
# FreeType, SDL2_ttf and LZO for the web into KV_WEB_SYSROOT. The translator runs natively (KVBASIC_EXECUTABLE).
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "KV_WEB needs Emscripten's compilers: configure with emcmake cmake -DKV_WEB=ON")
endif()
# The same default as scripts/build-web-libraries and kvbasic build --web.
if(DEFINED ENV{KV_WEB_SYSROOT})
  set(default_sysroot "$ENV{KV_WEB_SYSROOT}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(default_sysroot "$ENV{XDG_CACHE_HOME}/kvbasic-web/sysroot")
else()
  set(default_sysroot "$ENV{HOME}/.cache/kvbasic-web/sysroot")
endif()
set(KV_WEB_SYSROOT "${default_sysroot}" CACHE PATH
  "Where scripts/build-web-libraries put SDL2 and its companions, FreeType and LZO built for the web")
foreach(library SDL2 SDL2_mixer SDL2_image SDL2_ttf freetype lzo2)
  if(NOT EXISTS "${KV_WEB_SYSROOT}/lib/lib${library}.a")
    message(FATAL_ERROR "${KV_WEB_SYSROOT}/lib/lib${library}.a is missing: run scripts/install-web-deps (or scripts/build-web-libraries)")
  endif()
endforeach()
if(NOT KVBASIC_EXECUTABLE)
  message(FATAL_ERROR "The web build translates with a native kvbasic: give -DKVBASIC_EXECUTABLE=<path>")
endif()

# Emscripten's JavaScript optimizer needs Debian's acorn module, which a
# Node.js from elsewhere does not look for.
set(KV_WEB_LINK_ENVIRONMENT "")
if(EXISTS /usr/share/nodejs/acorn)
  set(KV_WEB_LINK_ENVIRONMENT NODE_PATH=/usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env ${KV_WEB_LINK_ENVIRONMENT})
endif()

# The runtime: every layer as on the desktop (runtime/Runtime.cmake); in
# the platform layer the browser's variants (runtime/platform/web) replace
# what a browser cannot do or must do differently
# (web/desktop_only_sources.txt).
include(${PROJECT_SOURCE_DIR}/runtime/Runtime.cmake)
kv_add_runtime(WEB PLATFORM_FOLDER platform/web LEFT_OUT ${PROJECT_SOURCE_DIR}/web/desktop_only_sources.txt)
target_include_directories(kv_runtime_usage INTERFACE ${KV_WEB_SYSROOT}/include ${KV_WEB_SYSROOT}/include/SDL2)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/link_options.txt)
# Every link option of a web program, in one list (web/link_options.txt):
# the targets below link with it, and kvbasic build --web reads the same
# file, so the two builds cannot drift apart.
set(KV_WEB_LIBRARIES
  ${KV_WEB_SYSROOT}/lib/libSDL2_ttf.a ${KV_WEB_SYSROOT}/lib/libfreetype.a ${KV_WEB_SYSROOT}/lib/libSDL2_image.a
  ${KV_WEB_SYSROOT}/lib/libSDL2_mixer.a ${KV_WEB_SYSROOT}/lib/libSDL2.a ${KV_WEB_SYSROOT}/lib/liblzo2.a)
file(STRINGS ${PROJECT_SOURCE_DIR}/web/link_options.txt link_lines REGEX "^[^#]")
set(KV_WEB_LINK_OPTIONS)
foreach(line ${link_lines})
  string(REPLACE "@WEB@" "${PROJECT_SOURCE_DIR}/web" line "${line}")
  list(APPEND KV_WEB_LINK_OPTIONS "SHELL:${line}")
endforeach()
# SDL2's companions by their files: "-lSDL2_mixer", "-lSDL2_image",
# "-lSDL2_ttf" or "-lfreetype" would make Emscripten fetch its own port of
# them.
target_link_libraries(kv_runtime_usage INTERFACE ${KV_WEB_LIBRARIES})
target_link_options(kv_runtime_usage INTERFACE ${KV_WEB_LINK_OPTIONS})

# What kvbasic build --web needs from this build, one "key=value" a line:
# include (the runtime's headers), library (libkvruntime.a, libkvmain.a),
# font, environment (for the linker), compile and link (one option a line,
# its words separated by spaces).
string(CONCAT toolchain_text "include=${PROJECT_SOURCE_DIR}/runtime\nlibrary=${CMAKE_BINARY_DIR}\n"
  "font=${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp\n")
if(KV_WEB_LINK_ENVIRONMENT)
  string(APPEND toolchain_text "environment=${KV_WEB_LINK_ENVIRONMENT}\n")
endif()
foreach(folder ${KV_WEB_SYSROOT}/include ${KV_WEB_SYSROOT}/include/SDL2)
  string(APPEND toolchain_text "compile=-I${folder}\n")
endforeach()
foreach(option ${KV_WEB_LIBRARIES} ${KV_WEB_LINK_OPTIONS})
  string(REGEX REPLACE "^SHELL:" "" option "${option}")
  string(REGEX REPLACE "^LINKER:" "-Wl," option "${option}")
  string(APPEND toolchain_text "link=${option}\n")
endforeach()
file(WRITE "${CMAKE_BINARY_DIR}/web_toolchain.txt" "${toolchain_text}")

add_library(kvmain STATIC ${PROJECT_SOURCE_DIR}/runtime/frame/entry_main.cpp)
target_link_libraries(kvmain PUBLIC kvruntime)

include(${PROJECT_SOURCE_DIR}/tools/KvBasic.cmake)

# kv_add_web_program(<name> SOURCES <prog.bas> [MEDIA <file>...] [VERSION <v>])
#
# Translates and builds the program, and makes build-web/<name>/ the folder
# a web server serves: index.html (the page), index.js, index.wasm, and
# index.data with the media and the runtime's font, which the page loads
# into the browser's file system and copies into /app, the program's folder
# (kept in IndexedDB, web/pre.js).
function(kv_add_web_program name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "VERSION" "SOURCES;MEDIA")
  if(ARG_VERSION)
    kv_add_basic_program(${name} SOURCES ${ARG_SOURCES} VERSION ${ARG_VERSION})
  else()
    kv_add_basic_program(${name} SOURCES ${ARG_SOURCES})
  endif()
  set(media "${CMAKE_BINARY_DIR}/media/${name}")
  file(REMOVE_RECURSE "${media}")
  file(MAKE_DIRECTORY "${media}")
  foreach(file IN LISTS ARG_MEDIA ITEMS ${PROJECT_SOURCE_DIR}/media/runtime/Smalfont.bmp)
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
    cmake_path(GET file FILENAME file_name)
    configure_file("${file}" "${media}/${file_name}" COPYONLY)
  endforeach()
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/${name}"
    OUTPUT_NAME index SUFFIX ".html"
    LINK_DEPENDS "${PROJECT_SOURCE_DIR}/web/shell.html;${PROJECT_SOURCE_DIR}/web/pre.js;${ARG_MEDIA}")
  target_link_options(${name} PRIVATE "SHELL:--preload-file ${media}@/media")
endfunction()

set(ZORVELIN_WEB_MEDIA
  font.bmp fontklein.bmp katze_rechts.bmp katze_links.bmp wachmann.bmp flagge.bmp
  land.bmp himmel.bmp berge.bmp sonne.bmp vogel_0.bmp vogel_1.bmp vogel_2.bmp vogel_3.bmp
  einsammeln.wav gefangen.wav musik.wav)
list(TRANSFORM ZORVELIN_WEB_MEDIA PREPEND ${PROJECT_SOURCE_DIR}/game/media/)
kv_add_web_program(zorvelin SOURCES ${PROJECT_SOURCE_DIR}/game/zorvelin.bas VERSION ${PROJECT_VERSION}
  MEDIA ${ZORVELIN_WEB_MEDIA})
file(GLOB KV_EXAMPLE_MEDIA CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/media/examples/*)
foreach(example count_frames draw_demo turning_cube)
  kv_add_web_program(${example} SOURCES ${PROJECT_SOURCE_DIR}/examples/${example}.bas
    MEDIA ${KV_EXAMPLE_MEDIA})
endforeach()
# The browser test's sound program: one sound effect when Space is held.
kv_add_web_program(sound_check SOURCES ${PROJECT_SOURCE_DIR}/tests/web/sound_check.bas
  MEDIA ${PROJECT_SOURCE_DIR}/game/media/einsammeln.wav)
# The browser test's program for a PNG with alpha, a TrueType font (Debian's
# DejaVu Sans, fonts-dejavu-core) and Ogg Vorbis, MP3 and FLAC sounds.
kv_add_web_program(media_check SOURCES ${PROJECT_SOURCE_DIR}/tests/web/media_check.bas
  MEDIA ${PROJECT_SOURCE_DIR}/tests/web/media_check/half_blue.png ${PROJECT_SOURCE_DIR}/tests/audio/data/tone.ogg
        ${PROJECT_SOURCE_DIR}/tests/audio/data/tone.mp3 ${PROJECT_SOURCE_DIR}/tests/audio/data/tone.flac
        /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf)
