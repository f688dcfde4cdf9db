#pragma once

// Lets pending window messages run until ms milliseconds have passed.
void MessageWait(int ms);
// Lets pending window messages run once.
void ProcessMessages();
