# The C libraries the program links: korvane::expat (XML) and korvane::png (PNG, with zlib).
# Windows: static builds of Debian's sources made by scripts/build-mingw-deps.sh, plus Debian's mingw zlib,
# so that Korvane.exe needs no DLL beside it. Elsewhere: the system's libraries found by CMake.

if(WIN32)
  set(KORVANE_MINGW_DEPS "${PROJECT_SOURCE_DIR}/build/deps/mingw" CACHE PATH
    "Where scripts/build-mingw-deps.sh installed the mingw builds of expat and libpng")
  set(_korvane_expat_lib "${KORVANE_MINGW_DEPS}/lib/libexpat.a")
  set(_korvane_png_lib "${KORVANE_MINGW_DEPS}/lib/libpng16.a")
  foreach(_korvane_lib IN ITEMS "${_korvane_expat_lib}" "${_korvane_png_lib}")
    if(NOT EXISTS "${_korvane_lib}")
      message(FATAL_ERROR "${_korvane_lib} is missing: run scripts/setup.sh (or scripts/build-mingw-deps.sh)")
    endif()
  endforeach()

  # The static zlib by full path: a plain "z" would pick Debian's import library libz.dll.a.
  find_file(KORVANE_MINGW_ZLIB libz.a PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)

  add_library(korvane::expat STATIC IMPORTED)
  set_target_properties(korvane::expat PROPERTIES
    IMPORTED_LOCATION "${_korvane_expat_lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${KORVANE_MINGW_DEPS}/include"
    # Without it expat.h declares its functions as DLL imports.
    INTERFACE_COMPILE_DEFINITIONS XML_STATIC)

  add_library(korvane::png STATIC IMPORTED)
  set_target_properties(korvane::png PROPERTIES
    IMPORTED_LOCATION "${_korvane_png_lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${KORVANE_MINGW_DEPS}/include"
    INTERFACE_LINK_LIBRARIES "${KORVANE_MINGW_ZLIB}")
else()
  find_package(EXPAT REQUIRED)
  find_package(PNG REQUIRED)

  add_library(korvane::expat INTERFACE IMPORTED)
  target_link_libraries(korvane::expat INTERFACE EXPAT::EXPAT)

  add_library(korvane::png INTERFACE IMPORTED)
  target_link_libraries(korvane::png INTERFACE PNG::PNG)
endif()
