#pragma once

// What a transfer moves: the active document to the calculator, one file from the calculator,
// or the Tarvo library to the calculator.
enum class TransferMode { SendDocument, ReceiveFile, SendLibrary };
