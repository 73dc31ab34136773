#pragma once
// The readers of the program's files, fed arbitrary bytes. Each checks what must hold for any
// input it accepts and aborts otherwise, so the fuzzers and the random-input test share them.

#include <cstddef>
#include <cstdint>

void FuzzSoftwareText(const uint8_t* data, size_t size);
void FuzzSettingsText(const uint8_t* data, size_t size);
void FuzzHistoryBytes(const uint8_t* data, size_t size);
void FuzzElementList(const uint8_t* data, size_t size);
void FuzzZipArchive(const uint8_t* data, size_t size);
void FuzzCatalogueCsv(const uint8_t* data, size_t size);
void FuzzCatalogueJson(const uint8_t* data, size_t size);
