# Lays out one package folder, "__SCE__Zentrovia" with every file the
# installer copies, under OUT. Called at build time:
#   cmake -DOUT=<folder> -DSTANDINS=<folder> -DSOX=<sox> -DCONVERT=<convert>
#         [-DMODULES=<folder with plugbind.prx and effect.lrx>] -P make_package.cmake
# Besides the two console modules (when MODULES holds them), every file is a
# stand-in of the right format: real WAV and PNG files, Lua text, the
# location file with the form's defaults.
cmake_minimum_required(VERSION 3.25)

set(top "${OUT}/__SCE__Zentrovia")
file(REMOVE_RECURSE "${top}")
file(MAKE_DIRECTORY "${top}/System" "${top}/ZenTrovia")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
endfunction()

# Binary stand-ins are written with printf's octal escapes: CMake's own file
# writing can't hold a NUL byte.
function(write_bytes path escapes)
  execute_process(COMMAND printf "${escapes}" OUTPUT_FILE "${path}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot write ${path}")
  endif()
endfunction()

# The console's executable package: the "\0PBP" header, version 1.0 and
# eight section offsets that all point past the 40-byte header (all empty).
set(offsets "")
foreach(i RANGE 1 8)
  string(APPEND offsets "\\050\\000\\000\\000")
endforeach()
write_bytes("${top}/EBOOT.PBP" "\\000PBP\\000\\000\\001\\000${offsets}")

# Module stand-ins: an ELF32 header for little-endian MIPS of the console's
# relocatable type 0xFFA0, with no sections.
set(elf "\\177ELF\\001\\001\\001\\000\\000\\000\\000\\000\\000\\000\\000\\000")
string(APPEND elf "\\240\\377\\010\\000\\001\\000\\000\\000")      # type, machine, version
string(APPEND elf "\\000\\000\\000\\000\\000\\000\\000\\000\\000\\000\\000\\000")  # entry, phoff, shoff
string(APPEND elf "\\000\\000\\000\\000\\064\\000\\040\\000\\000\\000\\050\\000\\000\\000\\000\\000")
foreach(module luaplayer.prx simple.lrx sound.lrx plugbind.prx effect.lrx)
  if(MODULES AND EXISTS "${MODULES}/${module}")
    file(COPY_FILE "${MODULES}/${module}" "${top}/${module}")
  else()
    write_bytes("${top}/${module}" "${elf}")
  endif()
endforeach()

file(COPY_FILE "${STANDINS}/system.lua" "${top}/System/system.lua")
file(COPY_FILE "${STANDINS}/Zentrovia.lua" "${top}/ZenTrovia/Zentrovia.lua")
file(COPY_FILE "${STANDINS}/allstars.txt" "${top}/ZenTrovia/allstars.txt")
file(WRITE "${top}/ZenTrovia/location.txt"
     "lat=40.43\nlon=-3.64\nalt=655\noff=1\nnam=Madrid\ndst=false\n")

# Sounds: a short tone each, a different pitch per file.
set(pitch 330)
foreach(sound 00 30 60 90 N NE E SE S SW W NW UP welcome iss_start iss_max iss_end
              sunrise sunset moonrise moonset night_start night_end)
  run("${SOX}" -n -r 8000 -c 1 -b 8 "${top}/ZenTrovia/${sound}.wav" synth 0.15 sine ${pitch})
  math(EXPR pitch "${pitch} + 20")
endforeach()

# Pictures: small solid squares in the application's greens.
set(colours "#00ff00" "#008000" "#003300" "#00cc00")
foreach(picture luna_dia cruz sol festival)
  list(POP_FRONT colours colour)
  run("${CONVERT}" -size 16x16 "xc:${colour}" "PNG24:${top}/ZenTrovia/${picture}.png")
endforeach()
