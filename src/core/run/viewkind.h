#pragma once

enum class ViewKind { vkSource, vkHTML, vkTasks, vkToday, vkHelp, vkBrowse };
