#pragma once
// The 24 viewer account slots of a system block as the system setup
// dialog edits them: slot i is row i of the names, passwords and rights; a
// slot whose name is empty is free. Names compare exactly (case counts).

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

// The stored name and password of a slot, never read past their fields.
std::string_view SlotName(const SystemBlock& block, int slot);
std::string_view SlotPassword(const SystemBlock& block, int slot);

// The first slot holding the name, or, with nExcept, the first other than
// nExcept; -1 for none. An empty name is in no slot.
int FindSlotByName(const SystemBlock& block, std::string_view name, int nExcept = -1);
// The lowest free slot; -1 when all 24 are used.
int FindFreeSlot(const SystemBlock& block);

// Writes the name, password (each at most 17 bytes) and the 16 rights.
void WriteSlot(SystemBlock& block, int slot, std::string_view name, std::string_view password,
               const std::uint8_t (&rights)[MAX_CHANNELS]);
// Frees the slot: its name, password and rights become zero.
void ClearSlot(SystemBlock& block, int slot);
// Ends every name and password within its field (the 18th byte zero).
void TerminateSlotTexts(SystemBlock& block);

// The slot's line in the account list: " User : name, Password: password".
std::string SlotLine(const SystemBlock& block, int slot);
