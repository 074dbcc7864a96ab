// The State Manager: the 100 save-state slots of the loaded cartridge with
// their descriptions, details and thumbnails; loads and saves them. The
// machine is held while it is open (the caller holds it).
#pragma once

#include <QDialog>
#include <vector>

#include "frontend/settings.h"
#include "frontend/state_slots.h"
#include "qt/message_box.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vt {
class EmulatorHost;
}

namespace vt::gui {

// "State Options": what a saved state carries and whether thumbnails show.
class StateOptionsDialog : public QDialog {
    Q_OBJECT
public:
    StateOptionsDialog(const Settings& settings, QWidget* parent = nullptr);
    void store(Settings& settings) const;
    QCheckBox* sram_transfer() const { return sram_; }
    QCheckBox* bitmap_transfer() const { return bitmap_; }
    QCheckBox* thumbnail_preview() const { return preview_; }

private:
    QCheckBox* sram_ = nullptr;
    QCheckBox* bitmap_ = nullptr;
    QCheckBox* preview_ = nullptr;
};

// "State Properties": the description and author of a state about to be saved.
class StatePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    StatePropertiesDialog(const QString& description, const QString& author, QWidget* parent = nullptr);
    QString description() const;
    QString author() const;
    QLineEdit* description_field() const { return description_; }
    QLineEdit* author_field() const { return author_; }

private:
    QLineEdit* description_ = nullptr;
    QLineEdit* author_ = nullptr;
};

class StateManager : public QDialog {
    Q_OBJECT
public:
    // States load and save through the host, which keeps battery RAM files
    // safe from a loaded state's battery RAM.
    StateManager(EmulatorHost& host, Settings& settings, QWidget* parent = nullptr);

    void set_message_sink(MessageSink sink) { messages_ = std::move(sink); }
    // Lets tests answer the State Properties dialog: returns false for Cancel.
    using PropertiesPrompt = std::function<bool(QString& description, QString& author)>;
    void set_properties_prompt(PropertiesPrompt prompt) { prompt_ = std::move(prompt); }

    // Reads the slot files again.
    void reload_slots();
    void select_slot(int slot);
    int selected_slot() const;

    void load_selected();
    void save_selected();
    void show_options();

    // The file of the state loaded (when the window closed by loading one).
    const std::string& loaded_path() const { return loaded_path_; }
    QPushButton* load_button() const { return load_; }
    // The last save's confirmation (or nothing).
    QString status_text() const;

    QTableWidget* slot_grid() const { return slot_grid_; }
    QTableWidget* info_grid() const { return info_grid_; }
    QLabel* thumbnail() const { return thumbnail_; }
    const std::vector<StateSlot>& slot_list() const { return slots_; }

private:
    void show_slot_details();
    BoxAnswer tell(const char* text, const std::string& problem);

    EmulatorHost& host_;
    Settings& settings_;
    std::vector<StateSlot> slots_;
    MessageSink messages_;
    PropertiesPrompt prompt_;
    QTableWidget* slot_grid_ = nullptr;
    QTableWidget* info_grid_ = nullptr;
    QLabel* thumbnail_ = nullptr;
    QPushButton* load_ = nullptr;
    QLabel* status_ = nullptr;
    std::string loaded_path_;
};

}  // namespace vt::gui
