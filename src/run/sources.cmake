# Run subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    run/runschemes.cpp
    run/commandline.cpp
    run/outputdecoder.cpp
    run/runner.cpp
    platform/processgroup.cpp
    run/browserrules.cpp
    run/webserver.cpp
)
list(APPEND UI_SOURCES
    run/views.cpp
    run/panelrun.cpp
    run/runform.cpp
    run/schemepage.cpp
    run/console.cpp
    run/runcommands.cpp
    run/browser.cpp
    run/openurl.cpp
    run/codeprev.cpp
)
