#pragma once

class QPrinter;

// The printer the editor lays out for and prints on: the system's default printer, or else a PDF
// printer, so that there is always one. Tests can pretend there is none at all.
class TPrinterAccess {
public:
    // Null when there is no printer.
    static QPrinter* Printer();
    static void SetSimulateNoPrinter(bool none);
};
