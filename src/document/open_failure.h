#pragma once

// Why a file did not open; the shell chooses the words.
enum OpenFailure
{
    OpenFailureNone = 0,
    OpenFailureUnreadable,       // cannot be opened or read at all
    OpenFailureNotIconFile,      // not an icon or cursor file
    OpenFailureDamaged,          // damaged or cut short
    OpenFailurePngImage,         // holds a PNG-compressed image
    OpenFailureUnsupportedSize,  // holds an image of a size the editor does not edit
    OpenFailureUnsupportedDepth, // holds an image of a depth the editor does not edit
    OpenFailureTooManyImages,    // lists more images than the editor can hold
    OpenFailureOutOfMemory,
    OpenFailureTooLarge,         // more bytes than the editor reads
};
