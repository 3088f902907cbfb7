// Texts sought in a stream of blocks (a file read piece by piece), holding no more than one
// block and the sought text's length: the answers are those of Contains and of ReplaceAll
// with an empty replacement over the whole text, whatever the size of the blocks.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

namespace scene {

// Whether the text handed in so far contains `sought`.
class BlockFinder {
  public:
    explicit BlockFinder(std::string_view sought) : sought_(sought) {}
    // True once the text so far contains the sought text.
    bool Feed(std::string_view block);
    bool Found() const { return found_; }
    // Starts again with an empty text.
    void Reset();

  private:
    std::string sought_;
    std::string tail_;  // the last bytes handed in, one fewer than the sought text has
    bool found_ = false;
};

// The lines that hold a marker (of neither CR nor LF), in a text handed in block by block: lines
// end at CR, as the line rule reads them. Counts them, and tells the number of the first.
class MarkedLines {
  public:
    explicit MarkedLines(std::string_view marker) : marker_(marker) {}
    void Feed(std::string_view block);
    long Count() const { return count_; }
    // The first marked line's number, from 0; -1 when there is none yet.
    long First() const { return first_; }
    // Until a marked line is found: the number of lines ended so far.
    long LinesEnded() const { return line_; }

  private:
    void PassLineEnds(std::string_view text);

    std::string marker_;
    std::string window_;  // bytes held back: they may begin a marker
    long line_ = 0;       // the number of the line under way, until the first marked line
    long count_ = 0;
    long first_ = -1;
    bool lineCounted_ = false;
};

// Deletes every occurrence of `sought`, found left to right without overlap, and hands on
// what stays, in order.
class BlockDeleter {
  public:
    using Emit = std::function<void(std::string_view)>;
    BlockDeleter(std::string_view sought, Emit emit);
    void Feed(std::string_view block);
    // The end of the text: hands on the bytes held back.
    void Finish();

  private:
    const std::string sought_;
    // Skips ahead by the last byte's distance: a seam begins with blanks that models are full of.
    const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
    Emit emit_;
    std::string window_;  // bytes held back: they may begin an occurrence
};

}  // namespace scene
