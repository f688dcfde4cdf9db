# Editor subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    editor/colordefs.cpp
    editor/painter.cpp
)
list(APPEND UI_SOURCES
    editor/highlighter.cpp
    editor/highlightcontrol.cpp
)
