# templates subsystem: core (QtCore only) and widgets.
list(APPEND CORE_SOURCES
)
list(APPEND UI_SOURCES
)
