// tree.d: any bytes make a tree (up to the first line of an impossible level); the tree written out
// reads back as the same tree without an error.
#include "FuzzSupport.h"
#include "library/FolderTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FolderTree tree;
    const QString error = tree.parse(fuzzBytes(data, size));
    FUZZ_CHECK(error.isEmpty() || error.startsWith(QStringLiteral("Invalid level (")));
    const QList<FolderNode*> nodes = tree.nodes();
    for (const FolderNode* node : nodes) {
        FUZZ_CHECK(!node->text.isEmpty());
        FUZZ_CHECK(!node->text.contains(u'\n') && !node->text.contains(u'\r'));
    }
    const QByteArray written = tree.serialize();
    FolderTree again;
    FUZZ_CHECK(again.parse(written).isEmpty());
    FUZZ_CHECK(again.serialize() == written);
    FUZZ_CHECK(again.nodes().size() == nodes.size());
    return 0;
}
