# Fails when the module file leaves a Lua function to the dynamic linker:
# a plug-in must reach Lua only through its LUAPLAYER import slots.
#   cmake -DNM=<nm> -DMODULE=<file> -P check_no_lua_symbols.cmake
execute_process(COMMAND ${NM} -D --undefined-only ${MODULE}
                OUTPUT_VARIABLE undefined RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[ \t](luaL?_[A-Za-z_]+|luaI_[A-Za-z_]+)" lua "${undefined}")
if(lua)
  message(FATAL_ERROR "${MODULE} leaves Lua symbols undefined:${lua}")
endif()
execute_process(COMMAND ${NM} -D --defined-only ${MODULE} OUTPUT_VARIABLE defined)
if(NOT defined MATCHES "effect_register")
  message(FATAL_ERROR "${MODULE} does not define effect_register; is this the module?")
endif()
message(STATUS "no undefined Lua symbols in ${MODULE}")
