# The processor the compiler builds for, by the name the archives use. The
# build machine's processor, which a native build reports, can differ: a
# 64-bit compiler run under linux32 builds for x86-64 on a machine that
# calls itself i686.
include(CheckCXXSourceCompiles)

function(water_target_processor result)
  set(names x86_64 aarch64 i686 s390x)
  set(macros "__x86_64__ _M_X64" "__aarch64__ _M_ARM64" "__i386__ _M_IX86"
             "__s390x__")
  set(CMAKE_REQUIRED_QUIET ON)
  foreach(name macro_list IN ZIP_LISTS names macros)
    string(REPLACE " " ") || defined(" condition "defined(${macro_list})")
    check_cxx_source_compiles("#if !(${condition})
#error not this processor
#endif
int main() { return 0; }" WATER_TARGET_IS_${name})
    if(WATER_TARGET_IS_${name})
      set(${result} ${name} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
  set(${result} ${processor} PARENT_SCOPE)
endfunction()
