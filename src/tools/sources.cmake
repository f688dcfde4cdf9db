# tools subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    tools/customlinks.cpp
)
list(APPEND UI_SOURCES
    tools/linkbar.cpp
)
