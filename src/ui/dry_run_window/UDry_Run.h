#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <array>
#include <bitset>
#include <vector>

#include "context/App_Context.h"
#include "dry_run_window/Dry_Run_Model.h"
#include "grid/Channel_Grid.h"
#include "live/Live_Engine.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// The dry run window: the requests of the open configuration sent from this computer to the real
// Modbus TCP slaves, the converter's data array as a grid of the 512 channels (changed channels
// flash) and the state of every request. Start reads the files from disk; a write table runs
// only after the user confirmed the slaves it writes to. With the write table (DMX IN) the
// channels can be changed in the grid while the run goes on. Closing the window stops the run.
// It is not modal.
class TFDry_Run : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFDry_Run(App_Context& context, QWidget* parent);
    ~TFDry_Run() override;

    void Set_Lang();

    // Reads the configuration and starts the run; false (after a message) when it did not start.
    bool Btn_StartClick();
    // Starts a run of what a configuration holds (Btn_StartClick after reading the files); a
    // write table only after the user confirmed it. False (after a message) when it did not start.
    bool Run_Setup(const Live_Setup& setup);
    void Btn_StopClick();
    void Btn_HelpClick();

    // Opens the value editor of a channel (1..512); only while a write table runs. text: what
    // the editor starts with (the channel's value when empty).
    bool Edit_Channel(int channel, const QString& text = {});
    // Applies the value editor's text to its channel and closes it.
    void Commit_Edit();
    void Cancel_Edit();

    // Shows what changed since the last look: channels, requests, the status line. Runs every
    // Refresh_Ms while the window runs; tests call it to see the state at once.
    void Refresh();

    const Live_Engine& Engine() const { return engine_; }
    Live_Engine& Engine() { return engine_; }
    Dry_Run_Model* Model() const { return model_; }

    static constexpr int Refresh_Ms = 50;
    static constexpr int Flash_Ms = 400;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    Channel_Grid* Grid_Channels = nullptr;
    QTableView* LV_Requests = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_Start = nullptr;
    Styled_Button* Btn_Stop = nullptr;
    Styled_Button* Btn_Help = nullptr;
    Styled_Button* Btn_Close = nullptr;
    QLabel* L_Status = nullptr;
    QLineEdit* E_Value = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void Show_Buttons();
    void Show_Status();
    Grid_Cell Cell_Of(int index, bool flash) const;
    QString Tooltip_Of(int channel) const;
    // What a screen reader speaks for a channel: its value, the rows that use it with their
    // failures, or that no request uses it.
    QString Spoken_Of(int channel) const;
    void Paint_All();

    App_Context& ctx_;
    Live_Engine engine_;
    Dry_Run_Model* model_ = nullptr;
    QTimer refresh_;
    int channel_count_ = 512;
    bool shown_ = false; // the grid shows a run's array
    // The requests whose bytes each channel of the array holds.
    std::array<std::vector<int>, Data_Array_Size> owners_;
    std::bitset<Data_Array_Size> dirty_bytes_;
    std::vector<char> dirty_flags_;
    std::vector<int> dirty_requests_;
    std::array<std::int64_t, Data_Array_Size> flash_until_{};
    QElapsedTimer clock_;
    std::uint64_t rate_completed_ = 0;
    std::int64_t rate_at_ms_ = 0;
    double rate_ = 0;
    int editing_ = 0; // the channel being edited, 0 for none
};
