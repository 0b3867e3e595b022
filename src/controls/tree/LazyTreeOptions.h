#pragma once
// The behaviour switches of a lazy tree: five option sets and the export mode, published as the
// tree's TreeOptions. Writing a set through its writer has immediate effects on the tree (see
// LazyTreeOptions.cpp); assigning one options object to another runs every writer.
#include "controls/tree/TreeTypes.h"
#include "platform/core/Persistent.h"

#include <QStringList>

namespace controls {

class TBaseLazyTree;

class TCustomLazyTreeOptions : public platform::TPersistent {
public:
    // Defaults: paint 7008, animation empty, auto 1369, selection empty, miscellaneous 16809.
    static constexpr uint32_t DefaultPaintOptions = 7008;
    static constexpr uint16_t DefaultAutoOptions = 1369;
    static constexpr uint32_t DefaultMiscOptions = 16809;

    explicit TCustomLazyTreeOptions(TBaseLazyTree* owner);

    TBaseLazyTree* Owner() const { return FOwner; }

    TLTPaintOptions PaintOptions() const { return FPaintOptions; }
    TLTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TLTAutoOptions AutoOptions() const { return FAutoOptions; }
    TLTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TLTMiscOptions MiscOptions() const { return FMiscOptions; }
    TLTExportMode ExportMode() const { return FExportMode; }

    void SetPaintOptions(TLTPaintOptions value);
    void SetAnimationOptions(TLTAnimationOptions value);
    void SetAutoOptions(TLTAutoOptions value);
    void SetSelectionOptions(TLTSelectionOptions value);
    void SetMiscOptions(TLTMiscOptions value);
    void SetExportMode(TLTExportMode value) { FExportMode = value; }

    // Reads a stored legacy "Options" set (the names of its members, "voMultiSelect"...): every
    // set is cleared through its writer, then each known name adds its option.
    void ReadLegacyOptions(const QStringList& names);

    // Direct field access for the tree's own bookkeeping (AnimationDuration, destruction).
    TLTAnimationOptions& AnimationOptionsField() { return FAnimationOptions; }
    TLTMiscOptions& MiscOptionsField() { return FMiscOptions; }

protected:
    void AssignTo(platform::TPersistent* dest) const override;

private:
    TBaseLazyTree* FOwner;
    TLTPaintOptions FPaintOptions = TLTPaintOptions::fromBits(DefaultPaintOptions);
    TLTAnimationOptions FAnimationOptions;
    TLTAutoOptions FAutoOptions = TLTAutoOptions::fromBits(DefaultAutoOptions);
    TLTSelectionOptions FSelectionOptions;
    TLTMiscOptions FMiscOptions = TLTMiscOptions::fromBits(DefaultMiscOptions);
    TLTExportMode FExportMode = emAll;
};

// The base trees' published options class.
class TLazyTreeOptions : public TCustomLazyTreeOptions {
public:
    using TCustomLazyTreeOptions::TCustomLazyTreeOptions;
};

} // namespace controls
