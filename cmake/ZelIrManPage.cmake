# Writes a man page from a program's own help text.
# cmake -DPROGRAM=... -DHELP_ARGUMENT=... -DNAME=... -DSUMMARY=... -DVERSION=... -DOUTPUT=... -P
execute_process(COMMAND ${PROGRAM} ${HELP_ARGUMENT}
  OUTPUT_VARIABLE help ERROR_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${HELP_ARGUMENT} failed: ${result}")
endif()
# Backslashes would be read as roff escapes, lines starting with a dot as requests; a zero-width
# \& at the start of every line keeps them text.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" "\n\\&" help "\\&${help}")
string(TOUPPER "${NAME}" title)
file(WRITE ${OUTPUT} ".TH ${title} 1 \"\" \"ZelIr SDK ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}
.fi
.SH SEE ALSO
The README of the ZelIr SDK.
")
