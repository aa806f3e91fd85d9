# Profile-guided, link-time-optimised Release builds (GCC, native builds).
#
# A sub-build in <build>/pgo/build compiles the engine instrumented; its
# bench searches the bench positions and its console runs perft on three
# positions (tools/bench/training.txt), writing the profile to
# <build>/pgo/data. The engine, the bench and the library the tests link are
# then compiled with that profile and linked with -flto. Both builds strip
# their own folder from the profile's file names, so the names meet. A
# change to the sources rebuilds the sub-build, trains again and recompiles
# everything; an unchanged tree rebuilds nothing.
#
# MAVO_PGO_PHASE=generate is the sub-build's own setting.

# Called for each engine target: compiled with the profile, rebuilt when it
# changes.
function(mavo_use_profile target)
  if(NOT MAVO_PGO_ACTIVE)
    return()
  endif()
  add_dependencies(${target} pgo_profile)
  target_compile_options(${target} PRIVATE -fprofile-use -fprofile-dir=${pgo_root}/data
                         -fprofile-prefix-path=${CMAKE_BINARY_DIR} -fprofile-partial-training -Wno-missing-profile)
  set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  get_target_property(sources ${target} SOURCES)
  set_property(SOURCE ${sources} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${pgo_root}/profile.stamp)
endfunction()

set(MAVO_PGO_ACTIVE OFF)
if(MAVO_PGO_PHASE STREQUAL "generate")
  add_compile_options(-fprofile-generate -fprofile-update=single -fprofile-dir=${MAVO_PGO_DIR}
                      -fprofile-prefix-path=${CMAKE_BINARY_DIR})
  add_link_options(-fprofile-generate)
  return()
endif()

if(NOT MAVO_PGO)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_CROSSCOMPILING
   OR MAVO_SANITIZE OR MAVO_FUZZ)
  message(STATUS "Profile-guided build: off (only for native GCC Release builds)")
  return()
endif()
include(CheckIPOSupported)
check_ipo_supported(RESULT ipo_ok OUTPUT ipo_error LANGUAGES CXX)
if(NOT ipo_ok)
  message(STATUS "Profile-guided build: off (no link-time optimisation: ${ipo_error})")
  return()
endif()
set(MAVO_PGO_ACTIVE ON)
message(STATUS "Profile-guided build: on (trained on the bench; -DMAVO_PGO=OFF for a plain build)")

include(ExternalProject)
set(pgo_root ${CMAKE_BINARY_DIR}/pgo)
set(pgo_bench ${pgo_root}/build/tools/bench/bench${CMAKE_EXECUTABLE_SUFFIX})
set(pgo_mavo ${pgo_root}/build/mavo${CMAKE_EXECUTABLE_SUFFIX})
ExternalProject_Add(pgo_instrumented
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${pgo_root}/build
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER} -DMAVO_TESTS=OFF
             -DMAVO_WERROR=${MAVO_WERROR} -DMAVO_PGO_PHASE=generate -DMAVO_PGO_DIR=${pgo_root}/data
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${pgo_bench} ${pgo_mavo}
  INSTALL_COMMAND ""
  STEP_TARGETS build)

# Fresh counts each time: old ones would add up.
add_custom_command(OUTPUT ${pgo_root}/profile.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${pgo_root}/data
  COMMAND ${CMAKE_COMMAND} -DBENCH=${pgo_bench} -DMAVO=${pgo_mavo} -DINPUT=${CMAKE_SOURCE_DIR}/tools/bench/training.txt
          -DWORKDIR=${pgo_root} -P ${CMAKE_SOURCE_DIR}/cmake/pgo-train.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${pgo_root}/profile.stamp
  DEPENDS ${pgo_bench} ${pgo_mavo} ${CMAKE_SOURCE_DIR}/tools/bench/training.txt
  COMMENT "Training the profile on the bench and perft")
add_custom_target(pgo_profile DEPENDS ${pgo_root}/profile.stamp)
add_dependencies(pgo_profile pgo_instrumented)

