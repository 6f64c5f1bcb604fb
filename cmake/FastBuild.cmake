# Shortens builds, shared by the main and the fuzz build. Sources compile in
# batches, which parses the Qt headers and compiles their inline code once a
# batch instead of once a file; -DCMAKE_UNITY_BUILD=OFF compiles file by file.
# A batch never leaves its target, and a target is one folder (a room, a test
# folder), so names at file scope must differ only between the files of one
# folder. Batches of 24 files take half the compile time of batches of 8; a
# build that wants more, smaller batches sets CMAKE_UNITY_BUILD_BATCH_SIZE
# first.
if(NOT DEFINED CMAKE_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
endif()
if(NOT DEFINED CMAKE_UNITY_BUILD_BATCH_SIZE)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 24)
endif()
# A build that names no compiler launcher compiles through ccache when it is
# installed.
find_program(VELTRA_CCACHE ccache)
if(VELTRA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${VELTRA_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELTRA_CCACHE})
endif()
# lld links the sanitized programs in a third of the time of the default
# linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld VELTRA_HAVE_LLD)
if(VELTRA_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()
