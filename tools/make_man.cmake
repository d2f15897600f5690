# Writes the zambrix-cli man page from the program's own --help, so the page
# always lists the commands and options the program has.
# cmake -DCLI=path/to/zambrix-cli -DOUT=zambrix-cli.1 -DVERSION=x.y.z -P make_man.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zambrix-cli --help failed: ${rc}")
endif()
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUT} ".TH ZAMBRIX-CLI 1 \"\" \"zambrix ${VERSION}\" \"User Commands\"
.SH NAME
zambrix-cli \\- read, blank-check, program, verify and erase chips on a ZAMBRIX board
.SH SYNOPSIS
.B zambrix-cli
[\\fIglobal options\\fR] \\fICOMMAND\\fR [\\fIoptions\\fR]
.SH DESCRIPTION
The command-line face of the ZAMBRIX programmer: it runs the same operations as
the window, for scripts and terminals. The system log goes to standard error,
results to standard output. Without a usable parallel port it runs on the
simulated board and says so.
.SH OPTIONS
.nf
${help}.fi
.SH EXIT STATUS
0 success; 1 the chip operation failed; 2 usage error (unknown or refused device,
bad option); 3 no board found, the port unusable or in use by another zambrix
program, or the board's data lines failing their check; 4 file error; 130, 143
or 129 interrupted by SIGINT, SIGTERM or SIGHUP (the chip may be partly written).
.SH SEE ALSO
.BR zambrix (1),
the manual in /usr/share/zambrix/zambrix5.html;
\\fBzambrix-cli doctor\\fR explains why a real board is or is not reachable.
")
