# Writes a program's gzipped manual page with help2man: its --help and --version, each
# subcommand's --help under COMMANDS, then the hand-written sections of INCLUDE.
#   cmake -DHELP2MAN=... -DPROGRAM=... -DSUMMARY=... [-DSUBCOMMANDS=a,b] [-DINCLUDE=file.h2m]
#         -DOUTPUT=dir/NAME.1 -P man_page.cmake        (writes dir/NAME.1.gz)
set(sections "${OUTPUT}.h2m")
file(WRITE "${sections}" "")
if(SUBCOMMANDS)
    string(REPLACE "," ";" SUBCOMMANDS "${SUBCOMMANDS}")
    file(APPEND "${sections}" "[COMMANDS]\n")
    foreach(command IN LISTS SUBCOMMANDS)
        execute_process(COMMAND "${PROGRAM}" ${command} --help OUTPUT_VARIABLE help
                        COMMAND_ERROR_IS_FATAL ANY)
        # Shown as printed: roff escapes for backslashes, and for lines that would start a roff
        # request or, to help2man, a section ([NAME]) or a placement (/pattern/).
        string(REPLACE "\\" "\\e" help "${help}")
        string(REGEX REPLACE "(^|\n)([.'[/])" "\\1\\\\&\\2" help "${help}")
        file(APPEND "${sections}" ".SS ${command}\n.nf\n${help}.fi\n")
    endforeach()
endif()
if(INCLUDE)
    file(READ "${INCLUDE}" handWritten)
    file(APPEND "${sections}" "${handWritten}")
endif()
execute_process(COMMAND "${HELP2MAN}" --no-info "--name=${SUMMARY}"
                        "--include=${sections}" "--output=${OUTPUT}" "${PROGRAM}"
                COMMAND_ERROR_IS_FATAL ANY)
# -n: no name or time stamp inside the archive, so that the same page gives the same bytes.
execute_process(COMMAND gzip -9 -n -f "${OUTPUT}" COMMAND_ERROR_IS_FATAL ANY)
