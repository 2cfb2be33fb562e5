#pragma once
// The inputs of the fuzz driver: each fixture file as it is, and, where it
// holds a bitmap record, that record as a bitmap file and as a packed DIB; then
// mutants of them, each a pure function of the seed and its number, so that a
// crash found can be made again from those two alone.
#include <windows.h>

#include <string>
#include <vector>

enum class InputKind { IconFile, BitmapFile, PackedDib };

struct FuzzBase
{
    std::string name;            // fixture file and the form taken from it
    InputKind kind;
    std::vector<BYTE> bytes;
    std::vector<size_t> fields;  // offsets of 4-byte size and offset fields
};

// Every file of folder except its README; false when none could be read.
bool LoadFuzzBases(const std::string& folder, std::vector<FuzzBase>& bases);

struct Mutant
{
    const FuzzBase* base;
    std::vector<BYTE> bytes;
    const char* how;             // the mutations applied, for the report
};

Mutant MakeMutant(const std::vector<FuzzBase>& bases, unsigned long long seed, unsigned long long number);
