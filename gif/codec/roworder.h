#pragma once
// Image rows in the order the LZW data holds them: top to bottom, or the four interlace
// passes (rows 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3 ...).
namespace gifcodec {

class RowOrder {
  public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int Row() const { return row_; }
    bool Finished() const { return done_ >= height_; }
    int Done() const { return done_; }
    void Advance() {
        ++done_;
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
    }

  private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
    int done_ = 0;
};

}  // namespace gifcodec
