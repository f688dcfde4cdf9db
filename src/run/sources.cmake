# Run subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    run/runschemes.cpp
    run/commandline.cpp
    run/outputdecoder.cpp
    run/runner.cpp
    platform/processgroup.cpp
)
list(APPEND UI_SOURCES
    run/views.cpp
)
