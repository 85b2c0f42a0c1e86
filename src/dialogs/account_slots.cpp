#include "dialogs/account_slots.h"

#include <algorithm>
#include <cstring>

#include "platform/textcodec/gb2312_codec.h"

namespace {

void CopyText(char (&field)[18], std::string_view text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

}  // namespace

std::string_view SlotName(const SystemBlock& block, int slot) {
    return FixedFieldText(block.sUserName[slot]);
}

std::string_view SlotPassword(const SystemBlock& block, int slot) {
    return FixedFieldText(block.sUserPassword[slot]);
}

int FindSlotByName(const SystemBlock& block, std::string_view name, int nExcept) {
    if (name.empty()) {
        return -1;
    }
    for (int i = 0; i < MAX_USERS; ++i) {
        if (i != nExcept && SlotName(block, i) == name) {
            return i;
        }
    }
    return -1;
}

int FindFreeSlot(const SystemBlock& block) {
    for (int i = 0; i < MAX_USERS; ++i) {
        if (block.sUserName[i][0] == '\0') {
            return i;
        }
    }
    return -1;
}

void WriteSlot(SystemBlock& block, int slot, std::string_view name, std::string_view password,
               const std::uint8_t (&rights)[MAX_CHANNELS]) {
    CopyText(block.sUserName[slot], name);
    CopyText(block.sUserPassword[slot], password);
    std::memcpy(block.byUserChannel[slot], rights, sizeof rights);
}

void ClearSlot(SystemBlock& block, int slot) {
    std::memset(block.sUserName[slot], 0, sizeof block.sUserName[slot]);
    std::memset(block.sUserPassword[slot], 0, sizeof block.sUserPassword[slot]);
    std::memset(block.byUserChannel[slot], 0, sizeof block.byUserChannel[slot]);
}

void TerminateSlotTexts(SystemBlock& block) {
    for (int i = 0; i < MAX_USERS; ++i) {
        block.sUserName[i][17] = '\0';
        block.sUserPassword[i][17] = '\0';
    }
}

std::string SlotLine(const SystemBlock& block, int slot) {
    return " User : " + std::string(SlotName(block, slot)) +
           ", Password: " + std::string(SlotPassword(block, slot));
}
