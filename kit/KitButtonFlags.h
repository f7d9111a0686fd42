#pragma once

// Bits shared by the message box and the title bar. Callers combine them as
// plain ints (8 for a notice, 24 for a question); only the bits a widget knows
// count, the rest are ignored.
enum KitButtonFlags
{
    MinButton = 1,
    MaxButton = 2,
    CloseButton = 4,
    OkButton = 8,
    CancelButton = 16,
    OkAllButton = 32
};
