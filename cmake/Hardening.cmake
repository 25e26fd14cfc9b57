# Hardening and reproducibility for optimised builds (Release, RelWithDebInfo,
# MinSizeRel, or any build whose flags from the environment optimise, as a
# distribution's package build does).
#
# Flags from the environment (CFLAGS, CXXFLAGS, LDFLAGS, read by CMake into
# CMAKE_<LANG>_FLAGS) win: a hardening flag is added only when the environment
# names none of its kind, so dpkg-buildflags or a packager may change or drop it.
# Sanitizer and fuzz builds bring their own instrumentation and get none of this;
# a Debug build at -O0 gets none either (_FORTIFY_SOURCE needs optimisation).
include(CheckCXXSourceCompiles)
include(CheckPIESupported)

option(GEMLODE_HARDENING "Harden optimised builds (stack protector, fortify, PIE, RELRO, BIND_NOW)" ON)
option(GEMLODE_REPRODUCIBLE "Map the source and build folders out of optimised builds' objects" ON)

set(gemlode_environment_flags "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}")
set(gemlode_optimised FALSE)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   OR gemlode_environment_flags MATCHES "(^| )-O([1-3sz]|fast)( |$)")
  set(gemlode_optimised TRUE)
endif()

# Adds FLAG to every compile unless the environment's flags already name KIND.
function(gemlode_harden_compile kind flag)
  if(NOT gemlode_environment_flags MATCHES "${kind}")
    add_compile_options(${flag})
  endif()
endfunction()

function(gemlode_harden)
  gemlode_harden_compile("-f(no-)?stack-protector" -fstack-protector-strong)
  gemlode_harden_compile("-f(no-)?stack-clash-protection" -fstack-clash-protection)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$")
    gemlode_harden_compile("-fcf-protection" -fcf-protection)
  endif()
  # Level 3 needs the compiler's dynamic object sizes; glibc falls back to 2 otherwise.
  check_cxx_source_compiles("
    #if !defined(__has_builtin) || !__has_builtin(__builtin_dynamic_object_size)
    #error no dynamic object size
    #endif
    int main() { return 0; }" GEMLODE_HAS_DYNAMIC_OBJECT_SIZE)
  set(level 2)
  if(GEMLODE_HAS_DYNAMIC_OBJECT_SIZE)
    set(level 3)
  endif()
  gemlode_harden_compile("_FORTIFY_SOURCE" "SHELL:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=${level}")
  if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "-z,?relro")
    add_link_options(-Wl,-z,relro)
  endif()
  if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "-z,?(now|lazy)")
    add_link_options(-Wl,-z,now)
  endif()
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
endfunction()

# No path of this machine in the objects: __FILE__, debug information and the
# build identifier come out the same from any source or build folder.
function(gemlode_map_build_paths)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
  cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${CMAKE_BINARY_DIR}" NORMALIZE binary_inside_source)
  if(NOT binary_inside_source)
    add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
  endif()
endfunction()

if(gemlode_optimised AND NOT (GEMLODE_SANITIZE OR GEMLODE_TSAN OR GEMLODE_FUZZ))
  if(GEMLODE_HARDENING)
    gemlode_harden()
    set(GEMLODE_HARDENED TRUE)
  endif()
  if(GEMLODE_REPRODUCIBLE)
    gemlode_map_build_paths()
  endif()
endif()
