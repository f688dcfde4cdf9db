# tasks subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    tasks/todaypage.cpp
)
list(APPEND UI_SOURCES
    tasks/todayview.cpp
)
