# Warnings, character sets, determinism and sanitizers, for every target of the tree.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
if(MORNA_WERROR)
  add_compile_options(-Werror)
endif()

# Text inside the program is Shift-JIS: string literals are stored as CP932.
# clang has no -fexec-charset for CP932; clang builds leave it out, and nothing
# they exercise may depend on the bytes of Japanese literals.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>
                      $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
  set(MORNA_CP932_LITERALS ON)
else()
  set(MORNA_CP932_LITERALS OFF)
endif()

if(MORNA_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(MORNA_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT MORNA_SANITIZE STREQUAL "")
  message(FATAL_ERROR "MORNA_SANITIZE must be empty, address or thread")
endif()

if(MORNA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (CXX=clang++-14)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

# morna_add_library(name folder [LIBS ...] [EXCLUDE regex...] [ONLY regex...]): one library
# target per folder, made of every source and header below it (less the files matching
# EXCLUDE; with ONLY, just the files matching one of those), so that adding a file needs no
# edit here. LIBS is the whole list of the lower targets it uses: tools/check_layering.py
# holds every #include of its files to that list and to the table of allowed folders. An
# empty folder makes a target of no files that only gathers LIBS.
function(morna_add_library name folder)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE;ONLY" ${ARGN})
  set(files)
  if(folder)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.c ${folder}/*.h)
  endif()
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER files EXCLUDE REGEX "${ex}")
  endforeach()
  if(ARG_ONLY)
    list(JOIN ARG_ONLY "|" only)
    list(FILTER files INCLUDE REGEX "${only}")
  endif()
  set(srcs ${files})
  list(FILTER srcs INCLUDE REGEX "\\.c(pp)?$")
  if(srcs)
    add_library(${name} STATIC ${files})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY MORNA_LIBRARIES ${name})
  set_property(GLOBAL PROPERTY MORNA_FILES_${name} ${files})
endfunction()

# morna_write_layers(file): the library targets with their files, link lists and archives,
# for the layering check.
function(morna_write_layers out)
  get_property(libs GLOBAL PROPERTY MORNA_LIBRARIES)
  set(text "")
  foreach(lib IN LISTS libs)
    string(APPEND text "library ${lib}\n")
    get_property(files GLOBAL PROPERTY MORNA_FILES_${lib})
    foreach(f IN LISTS files)
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${f})
      string(APPEND text "file ${lib} ${rel}\n")
    endforeach()
    get_target_property(type ${lib} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${lib} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${lib} LINK_LIBRARIES)
      string(APPEND text "archive ${lib} $<TARGET_FILE:${lib}>\n")
    endif()
    foreach(l IN LISTS links)
      if(l)
        string(APPEND text "link ${lib} ${l}\n")
      endif()
    endforeach()
  endforeach()
  file(GENERATE OUTPUT ${out} CONTENT "${text}")
endfunction()

# What every test runs with: headless SDL, the leak suppressions.
set(MORNA_TEST_ENVIRONMENT
    "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tools/lsan.supp")

# morna_add_test(name folder [LIBS ...] [EXCLUDE regex...] [LABELS ...]): one
# GoogleTest program made of every .cpp below a tests/ folder (less the files
# matching EXCLUDE), its cases registered with CTest under the given labels.
function(morna_add_test name folder)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE;LABELS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  # The discovery splits list-valued PROPERTIES apart (only the first variable
  # of an ENVIRONMENT list would arrive), so the properties are set by a script
  # of our own that ctest reads after the discovered tests.
  set(props "ENVIRONMENT \"${MORNA_TEST_ENVIRONMENT}\"")
  if(ARG_LABELS)
    string(APPEND props " LABELS \"${ARG_LABELS}\"")
  endif()
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${script}" "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ${props})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()

# morna_add_programs(prefix pattern [LIBS ...]): one program per file of this folder
# matching pattern, named prefix + the file's stem, linked with every morna library
# (benchmarks and fuzz targets reach across the tree).
function(morna_add_programs prefix pattern)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  get_property(libs GLOBAL PROPERTY MORNA_LIBRARIES)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
  foreach(src IN LISTS srcs)
    get_filename_component(stem ${src} NAME_WE)
    add_executable(${prefix}${stem} ${src})
    target_link_libraries(${prefix}${stem} PRIVATE ${libs} ${ARG_LIBS})
  endforeach()
endfunction()

# morna_add_fuzz_replays(): for every fuzz/fuzz_<name>.cpp, a program of this build made of
# the target and fuzz/corpus_replay.cpp, and a CTest test FuzzCorpus.<name> that runs each
# file of fuzz/corpus/<name>/ once through it. A new target needs nothing but those two.
function(morna_add_fuzz_replays)
  get_property(libs GLOBAL PROPERTY MORNA_LIBRARIES)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  foreach(src IN LISTS srcs)
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "^fuzz_" "" name ${stem})
    add_executable(replay_${stem} ${src} ${CMAKE_SOURCE_DIR}/fuzz/corpus_replay.cpp)
    target_link_libraries(replay_${stem} PRIVATE ${libs})
    add_test(NAME FuzzCorpus.${name} COMMAND replay_${stem} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(FuzzCorpus.${name} PROPERTIES ENVIRONMENT "${MORNA_TEST_ENVIRONMENT}")
  endforeach()
endfunction()
