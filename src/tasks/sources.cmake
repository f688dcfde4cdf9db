# tasks subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
    tasks/taskstore.cpp
    tasks/todaypage.cpp
)
list(APPEND UI_SOURCES
    tasks/addtaskform.cpp
    tasks/taskpage.cpp
    tasks/todayview.cpp
)
