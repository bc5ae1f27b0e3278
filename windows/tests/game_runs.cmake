# Runs of Zorvelin from an input script, for the test scripts beside this
# file: natively or through the emulator, each in a folder of its own with a
# temporary folder of its own (the error log's place).

# kv_play_game(<run> <program> <emulator or ""> <script text>)
# Plays <program> in ${FOLDER}/<run> from the script with random seed 3,
# unpaced, windowed, its frame checksums in sums.txt, the mixer's plays in
# sounds.txt and what SDL's disk audio driver played in audio.raw; its
# temporary folder is ${FOLDER}/<run>/tmp. The program must end with code
# 0; what it wrote on stderr is left in <run>_stderr.
function(kv_play_game run program emulator script)
  set(folder "${FOLDER}/${run}")
  file(MAKE_DIRECTORY "${folder}/tmp")
  file(WRITE "${folder}/input.txt" "${script}")
  set(ENV{KV_INPUT_SCRIPT} input.txt)
  set(ENV{KV_SEED} 3)
  set(ENV{KV_UNPACED} 1)
  set(ENV{KV_WINDOWED} 1)
  set(ENV{KV_NO_MESSAGEBOX} 1)
  set(ENV{KV_FRAME_CHECKSUMS} sums.txt)
  set(ENV{KV_SOUND_LOG} sounds.txt)
  set(ENV{SDL_AUDIODRIVER} disk)
  set(ENV{KV_PROGRAM_FOLDER} "")
  if(emulator)
    # Wine hands a program its prefix's own TMP and TEMP, whatever the
    # environment says, and every program of the prefix shares that folder
    # (the error log, unpacked media): the command interpreter sets them for
    # this run alone. Unix paths are drive Z:.
    string(REPLACE "/" "\\" windows_folder "Z:${folder}")
    string(REPLACE "/" "\\" windows_program "Z:${program}")
    set(ENV{SDL_DISKAUDIOFILE} "${windows_folder}\\audio.raw")
    set(command ${emulator} cmd /c
        "set TMP=${windows_folder}\\tmp&& set TEMP=${windows_folder}\\tmp&& ${windows_program}")
  else()
    set(ENV{TMPDIR} "${folder}/tmp")
    set(ENV{SDL_DISKAUDIOFILE} "${folder}/audio.raw")
    set(command "${program}")
  endif()
  execute_process(COMMAND ${command} WORKING_DIRECTORY "${folder}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 400)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${run}: ${program} ended with ${result}:\n${output}\n${errors}")
  endif()
  set(${run}_stderr "${errors}" PARENT_SCOPE)
endfunction()

# kv_expect_clean_end(<run> <line>): the error log of the run ends as an
# Escape on that SHOWSCREEN line leaves it ("-End On Line", error 0, the
# line twice, file 0).
function(kv_expect_clean_end run line)
  set(log "${FOLDER}/${run}/tmp/ErrorLog.txt")
  if(NOT EXISTS "${log}")
    message(FATAL_ERROR "${run}: no error log ${log}")
  endif()
  file(STRINGS "${log}" lines)
  list(LENGTH lines count)
  if(count LESS 5)
    message(FATAL_ERROR "${run}: the error log has ${count} lines: ${lines}")
  endif()
  math(EXPR from "${count} - 5")
  list(SUBLIST lines ${from} 5 end)
  if(NOT end STREQUAL "-End On Line;0;${line};${line};0")
    message(FATAL_ERROR "${run}: the error log ends in \"${end}\", not with an end on line ${line}")
  endif()
endfunction()

# kv_expect_audible(<run>): the audio the run's device played holds sound,
# not only silence (16-bit samples: some byte other than 00 and ff in its
# first megabyte, six seconds).
function(kv_expect_audible run)
  set(audio "${FOLDER}/${run}/audio.raw")
  if(NOT EXISTS "${audio}")
    message(FATAL_ERROR "${run}: the audio device wrote no ${audio}")
  endif()
  file(SIZE "${audio}" size)
  file(READ "${audio}" bytes LIMIT 1048576 HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
  if(size LESS 44100 OR NOT bytes MATCHES "(^| )(0[1-9a-f]|[1-9a-e][0-9a-f]|f[0-9a-e]) ")
    message(FATAL_ERROR "${run}: the audio device played ${size} bytes of silence")
  endif()
endfunction()
