# Editor subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    editor/colordefs.cpp
    editor/painter.cpp
    editor/varscan.cpp
)
list(APPEND UI_SOURCES
    editor/highlighter.cpp
    editor/highlightcontrol.cpp
    editor/colorpage.cpp
    editor/proptree.cpp
    editor/findform.cpp
    editor/editorcommands.cpp
    editor/documenttext.cpp
)
