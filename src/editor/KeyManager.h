#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// A key as the key table knows it: the platform's virtual-key code in the low 8 bits plus flags.
using TKeyDefinition = std::uint16_t;
enum TKeyFlag : TKeyDefinition { kfCtrl = 256, kfShift = 512, kfQuick = 1024, kfAlt = 2048 };

// Binds key codes to commands, sorted by code. A "quick" prefix key makes the next key's code carry
// kfQuick, so two-stroke sequences such as Ctrl+Q, S are keys of their own.
class TKeyManager {
public:
    using THandler = std::function<void()>;

    // Binds `key` to `handler` (an empty handler unbinds it); a later binding of a code replaces it.
    void Define(TKeyDefinition key, THandler handler);
    TKeyDefinition QuickKey() const { return m_QuickKey; }
    void SetQuickKey(TKeyDefinition key);
    bool QuickPending() const { return m_QuickPending; }
    // Any key press ends a pending quick prefix, a lone modifier key too.
    void ClearQuick() { m_QuickPending = false; }
    // Runs the command bound to `vk` with the modifiers (kfCtrl, kfShift, kfAlt); a code with Shift or
    // Alt that is not bound falls back to the code without them. True when a command ran.
    bool Process(unsigned vk, TKeyDefinition modifiers);
    // Whether Process would run a command for this key, without running it.
    bool Bound(unsigned vk, TKeyDefinition modifiers) const;

private:
    struct TEntry {
        TKeyDefinition Key;
        THandler Handler;
    };
    const TEntry* Find(TKeyDefinition key) const;
    const TEntry* Lookup(unsigned vk, TKeyDefinition modifiers) const;

    std::vector<TEntry> m_Entries; // ascending by Key
    TKeyDefinition m_QuickKey = 0;
    bool m_QuickPending = false;
};
