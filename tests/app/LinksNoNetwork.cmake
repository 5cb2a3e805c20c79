# cmake -DPROGRAM=path/to/Kestrum -P LinksNoNetwork.cmake
# Qt Network, with the Kerberos and proxy libraries it brings, is loaded with the module
# kestrum_network when the program first needs it. Linked to the program again (one stray
# include in the core library is enough) it would cost every start its dynamic linking.
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libs RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
foreach(lib libQt6Network libgssapi_krb5 libkrb5 libproxy)
    if(libs MATCHES "${lib}[.]so")
        message(FATAL_ERROR "${PROGRAM} loads ${lib} at start:\n${libs}")
    endif()
endforeach()
