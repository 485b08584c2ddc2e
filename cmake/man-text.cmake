# Renders a man page as plain ASCII text with Windows' line ends, for the
# zip: Windows has no man. Run as
#   cmake -DGROFF=... -DPAGE=page.1 -DTEXT=page.txt -P man-text.cmake
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou -rHY=0 ${PAGE}
                OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR errors)
  message(FATAL_ERROR "${PAGE} did not render: ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
