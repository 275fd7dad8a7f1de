// Replaces the GTK message box with a recorder for its life: each box is written down and
// answered at once with OK, never left waiting for a player. The launcher's boxes have no owner.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/win/MessageBox.h"

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class BoxRecorder {
public:
    BoxRecorder()
    {
        m_previous = SetMessageBoxPresenter([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            std::lock_guard lock(m_mutex);
            EXPECT_EQ(owner, nullptr);
            m_boxes.push_back({text, caption, type});
            return IDOK;
        });
    }
    ~BoxRecorder() { SetMessageBoxPresenter(m_previous); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<ShownBox> Boxes() const
    {
        std::lock_guard lock(m_mutex);
        return m_boxes;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<ShownBox> m_boxes;
    MessageBoxPresenter m_previous;
};
