#pragma once

#include "workspace/folder_compare.h"

#include <memory>
#include <vector>

// The results of one compare run as a tree below the root "From": each folder
// result becomes the children of its folder's node.
struct CompareNode {
    CompareItem item;
    CompareNode* parent = nullptr;
    std::vector<std::unique_ptr<CompareNode>> children;

    int row() const;
    bool visited() const { return item.flags & CompareItem::Visited; }
};

class CompareTree {
public:
    CompareTree();

    // The folder the run starts in, below the remote project folder: results
    // name their folders from the project folder, the tree from here.
    void setBase(const QByteArray& relativePath) { base_ = relativePath; }
    CompareNode* root() { return &root_; }
    const CompareNode* root() const { return &root_; }
    void clear();

    // The node of a folder, walking its relative path from the root one name at
    // a time; nullptr when missing.
    CompareNode* find(const QByteArray& relativePath);
    // Marks the folder visited and appends the result's items; false (nothing
    // added) when the folder's node is missing.
    bool add(const FolderCompareResult& result);
    // The path of a node below the root ('/'-separated remote spelling).
    static QByteArray pathOf(const CompareNode* node);
    // The same path as the local side spells it (names paired without regard
    // to case may differ there).
    static QString localPathOf(const CompareNode* node);

    // What the end of a run removes: with sub-folders, the top-most visited
    // folders without anything left below them; without, the root's folders
    // present on both sides as folders.
    std::vector<CompareNode*> nodesToPrune(bool subFolders);
    // Children of a folder that a fresh comparison no longer lists.
    std::vector<CompareNode*> staleChildren(CompareNode* folder,
                                            const std::vector<CompareItem>& fresh);
    void remove(CompareNode* node);

    // Every listed difference (not the folders walked through), depth first.
    std::vector<const CompareNode*> differences(bool subFolders) const;

private:
    CompareNode root_;
    QByteArray base_;
};

// The properties box of a result item; paths relative to the start folder and
// to the remote project folder.
QString CompareItemProperties(const CompareItem& item, const QString& fromStart,
                              const QString& fromProject);
