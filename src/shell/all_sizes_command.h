#pragma once
#include <windows.h>

#include <string>
#include <vector>

class Editor;

// "Créer toutes les tailles": the missing Windows sizes built from the current
// image, told in the status bar.
void CreateAllSizes(Editor& editor, HWND mainWindow);

// "Ajoutées : 16, 20 et 24 px", as the status bar says it.
std::string AddedSizesText(const std::vector<int>& sizes);
