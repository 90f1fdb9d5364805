#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <bitset>

#include "access/Access_Table.h"
#include "context/App_Context.h"
#include "grid/Channel_Grid.h"
#include "map/Channel_Map.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// The channel map window: the 512 DMX channels as a grid coloured by the row of the request
// that owns each channel, the findings and the load per slave. It is not modal. Opened from the
// access dialog it follows the table being edited there; opened from the main window it shows
// the saved files. A double click on a channel or a finding emits Slot_Activated with the row
// (the first row where a channel has several).
class TFChannel_Map : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFChannel_Map(App_Context& context, QWidget* parent);

    // Texts from the string table; the map is rebuilt in the new language.
    void Set_Lang();

    // The map of a table being edited (the table stays the caller's and must outlive the
    // window's use of it); DMX role, channel count, reply time-out and default values come from
    // the files of the open configuration. Throws Tessaro_Error for a file that cannot be read.
    void Show_Table(const Access_Table& access);
    // The map of the saved files of the open configuration. Throws Tessaro_Error.
    void Show_Files();
    // Reads the files again (a step may have changed them). On an error the window shows it and
    // closes; false then.
    bool Refresh();
    // Rebuilds the map at the next turn of the event loop: a burst of edits makes one rebuild.
    void Schedule_Rebuild();
    // Rebuilds the map from its table and settings now.
    void Rebuild();

    const Channel_Map& Map() const { return map_; }
    bool Follows_Table() const { return live_ != nullptr; }

    // Shown beside this dialog rather than in the middle of the screen: right of it, else below
    // it, else where it hides the least of it (Place_Beside), inside the screen's available area,
    // whenever the map is opened. While it stays open it keeps the place the user gives it.
    void Set_Beside(QWidget* dialog) { beside_ = dialog; }

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_Source = nullptr;
    Channel_Grid* Grid_Channels = nullptr;
    QLabel* L_Legend_Overlap = nullptr;
    QLabel* L_Legend_Beyond = nullptr;
    QLabel* L_Legend_Empty = nullptr;
    QLabel* L_Findings = nullptr;
    QTreeWidget* LV_Findings = nullptr;
    QLabel* L_Load = nullptr;
    QTreeWidget* LV_Load = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_Close = nullptr;

signals:
    void Slot_Activated(int slot);

protected:
    void Place_On_Show(const QShowEvent& event) override;

private:
    void FormCreate();
    void Load_Settings();
    void Show_Source();
    void Show_Findings();
    void Show_Load();
    // Outlines channels: those of the requests that own channel (a click on the grid), or a
    // finding's channels.
    void Mark_Requests_At(int channel);
    std::bitset<Map_Channel_Count> Request_Marks(int channel) const;
    void Mark_Finding(int index);
    void Apply_Marks(const std::bitset<Map_Channel_Count>& marks);
    void Activate_Channel(int channel);
    void Activate_Finding(QTreeWidgetItem* item);

    App_Context& ctx_;
    const Access_Table* live_ = nullptr;
    Access_Table saved_;
    Map_Settings settings_;
    Channel_Map map_;
    std::bitset<Map_Channel_Count> marks_;
    QTimer* rebuild_timer_ = nullptr;
    bool shown_ = false; // a map has been built once
    QPointer<QWidget> beside_;
};
