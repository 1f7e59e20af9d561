# Installs the build into a scratch prefix and runs the installed binary on
# a copy of the sample.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DSCRATCH=<dir> -P install_test.cmake
file(REMOVE_RECURSE ${SCRATCH})
set(prefix ${SCRATCH}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
foreach(installed bin/scanmend bin/scanmend-advise bin/scanmend-pages bin/scanmend-learn share/man/man1/scanmend.1.gz
                  share/man/man1/scanmend-advise.1.gz share/man/man1/scanmend-pages.1.gz share/man/man1/scanmend-learn.1.gz
                  share/doc/scanmend/copyright
                  share/doc/scanmend/changelog.gz share/scanmend/spelling.tsv)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

file(COPY ${SOURCE_DIR}/examples/ DESTINATION ${SCRATCH}/sample)
file(MAKE_DIRECTORY ${SCRATCH}/sample/out)
execute_process(COMMAND ${prefix}/bin/scanmend Ufs Bnu Bov BBV UEC I german finals =
                WORKING_DIRECTORY ${SCRATCH}/sample
                RESULT_VARIABLE status OUTPUT_VARIABLE console ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "" OR NOT console MATCHES "Stats:")
  message(FATAL_ERROR "installed binary: status ${status}\n${console}${errors}")
endif()
execute_process(COMMAND ${prefix}/bin/scanmend-advise --args-only
                WORKING_DIRECTORY ${SCRATCH}/sample
                RESULT_VARIABLE status OUTPUT_VARIABLE advice ERROR_QUIET)
if(NOT status EQUAL 0 OR NOT advice MATCHES "^Ufs ")
  message(FATAL_ERROR "installed scanmend-advise: status ${status}\n${advice}")
endif()
# The learner with the table installed, given as a user's own.
execute_process(COMMAND ${prefix}/bin/scanmend-learn --learn-only --spelling ${prefix}/share/scanmend/spelling.tsv
                WORKING_DIRECTORY ${SCRATCH}/sample
                RESULT_VARIABLE status OUTPUT_VARIABLE learned ERROR_QUIET)
if(NOT status EQUAL 0 OR NOT learned MATCHES "^Learned ")
  message(FATAL_ERROR "installed scanmend-learn with the installed table: status ${status}\n${learned}")
endif()
foreach(written out/001.txt out/002.txt out/003.txt word_fr.txt)
  if(NOT EXISTS ${SCRATCH}/sample/${written})
    message(FATAL_ERROR "installed binary did not write ${written}")
  endif()
endforeach()
