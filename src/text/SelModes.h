#pragma once

// How the view's selection was made; the text model only keeps it in undo records for the view.
enum class TSelModes : unsigned char { smNone = 0, smWords = 1, smStream = 2, smColumn = 3 };
