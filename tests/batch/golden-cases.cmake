# The cases of golden.cmake: golden(NAME ARGUMENTS...) compares with
# expected/NAME.txt. Commands between them prepare the projects.
cup_project(cup 3)
cup_project(full 4)
cup_project(gap 4)
file(REMOVE "${WORK}/gap/cup.001")
cup_project(noprc 3)
file(REMOVE "${WORK}/noprc/cup.prc")
configuration(config-default "")

# Help and the command line's faults: one line naming the fault, then the usage.
golden(help --help)
foreach(command report values cut tip export render video study vtk measure gltf)
  golden(help_${command} ${command} --help)
endforeach()
# Help is given whatever else the command line holds.
golden(help_report_after_arguments report sheet missing.tfc -h)
golden(help_cut_after_arguments cut missing.tfc --plane q -h)
golden(no_command)
golden(unknown_option --bogus)
golden(unknown_command print sheet cup/cup.tfc)
golden(report_no_kind report)
golden(report_graph report sheet cup/cup.tfc --graph)
golden(report_extra_argument report sheet cup/cup.tfc extra)
golden(report_unknown_kind report volume cup/cup.tfc)
golden(report_unknown_units report sheet cup/cup.tfc --units imperial)
golden(report_record_not_integer report sheet cup/cup.tfc --record 1.5)
golden(report_record_without_value report sheet cup/cup.tfc --record)
golden(values_no_quantity values cup/cup.tfc)
golden(values_units values cup/cup.tfc --quantity 1 --units si)
golden(values_misspelt_option values cup/cup.tfc --quantty 1)
golden(values_quantity_0 values cup/cup.tfc --quantity 0)
golden(values_quantity_10 values cup/cup.tfc --quantity 10)
golden(values_min_not_number values cup/cup.tfc --quantity 1 --min 1,5 --max 2)
golden(values_min_without_max values cup/cup.tfc --quantity 1 --min 0)
golden(values_max_without_min values cup/cup.tfc --quantity 1 --max 2)
golden(cut_min cut cup/cup.tfc --plane x --position 0 --quantity 1 --min 0 --max 1)
golden(cut_position_inf cut cup/cup.tfc --plane x --position inf --quantity 1)
golden(cut_no_position cut cup/cup.tfc --quantity 1 --plane x)
golden(cut_plane_upper_case cut cup/cup.tfc --plane X --position 1 --quantity 1)
golden(cut_plane_w cut cup/cup.tfc --quantity 1 --plane w --position 1)
golden(cut_no_plane cut cup/cup.tfc --position 1 --quantity 1)
golden(cut_graph_and_save cut cup/cup.tfc --plane x --position 0.5 --quantity 1 --graph --save p.csv)
golden(tip_no_item tip cup/cup.tfc)
golden(tip_node_and_element tip cup/cup.tfc --node 1 --element 1)
golden(tip_node_not_integer tip cup/cup.tfc --node x)
golden(tip_quantity tip cup/cup.tfc --element 1 --quantity 1)
golden(export_no_folder export cup/cup.tfc)
golden(export_first_last_alone export cup/cup.tfc --to out --first-last)
golden(vtk_no_folder vtk cup/cup.tfc)
golden(vtk_records_not_list vtk cup/cup.tfc --to out --records 1,x)
golden(vtk_records_empty_item vtk cup/cup.tfc --to out --records 1,,2)
golden(gltf_no_output gltf cup/cup.tfc)
golden(gltf_quantity_0 gltf cup/cup.tfc -o model.glb --quantity 0)
golden(gltf_not_glb gltf cup/cup.tfc -o model.gltf)
golden(gltf_by_position_alone gltf cup/cup.tfc -o model.glb --by-position)

# Projects and records that are not there.
golden(report_missing_project report sheet @work@/missing.tfc)
golden(report_record_0 report sheet cup/cup.tfc --record 0)
golden(report_record_4 report sheet cup/cup.tfc --record 4)
golden(report_record_minus_1 report sheet cup/cup.tfc --record -1)
golden(vtk_missing_project vtk @work@/missing.tfc --to out)
golden(gltf_missing_project gltf @work@/missing.tfc -o model.glb)
golden(gltf_record_4 gltf cup/cup.tfc -o model.glb --record 4)
golden(gltf_unwritable gltf cup/cup.tfc -o none/model.glb)
golden(vtk_record_0 vtk cup/cup.tfc --to out --records 0)
golden(vtk_record_4 vtk cup/cup.tfc --to out --records 1,4)
golden(vtk_project_folder vtk cup/cup.tfc --to cup)
golden(vtk_blank_folder vtk cup/cup.tfc --to " ")
golden(vtk_last vtk cup/cup.tfc --to vtk-last --records last --units us)
golden_file(vtk_last_pvd vtk-last/cup.pvd)
# share: what the page shows is checked in a browser
# (tests/export/share_page_test.py); here its command line and refusals.
golden(help_share share --help)
golden(share_no_output share cup/cup.tfc)
golden(share_quantity_0 share cup/cup.tfc -o page.html --quantity 1,0)
golden(share_record_4 share cup/cup.tfc -o page.html --records 1,4)
golden(share_output_is_the_project share cup/cup.tfc -o cup/cup.tfc)
golden(share_output_is_a_record share cup/cup.tfc -o cup/cup.002)
golden(tip_node_21 tip cup/cup.tfc --node 21)
golden(tip_node_0 tip cup/cup.tfc --node 0)
golden(tip_element_24 tip cup/cup.tfc --element 24)
golden(tip_element_minus_1 tip cup/cup.tfc --element -1)
golden(video_mkv video cup/cup.tfc -o x.mkv)
golden(video_no_extension video cup/cup.tfc -o x)

# Reports, with Unix line ends, in the configuration's units unless given.
golden(report_sheet_sample report sheet @sample@ --units si)
golden(report_project report project cup/cup.tfc)
golden(report_record report record cup/cup.tfc)
golden(report_record_1 report record cup/cup.tfc --record 1)
golden(report_sheet report sheet cup/cup.tfc)
golden(report_sheet_us report sheet cup/cup.tfc --units us)
# A gap in the record files: one warning line on stderr.
golden(report_sheet_gap report sheet gap/cup.tfc)
golden(values_gap values gap/cup.tfc --quantity 1)
# ... and the output and the status as without it.
golden(values_without_gap values full/cup.tfc --quantity 1 --record 3)
configuration(config-us "Quillmere CConfiguration File - V2\n\nSystem of units:\t\tUS Customary\n")
golden(report_sheet_us_configuration report sheet cup/cup.tfc)
golden(report_sheet_si_over_configuration report sheet cup/cup.tfc --units si)
golden(tip_us_configuration tip cup/cup.tfc --node 7)
configuration(config-default "")

# Every node's value and colour.
foreach(quantity 1 2 3 4 5 6 7 8 9)
  golden(values_quantity_${quantity} values cup/cup.tfc --quantity ${quantity})
endforeach()
# Thinning and first contact: the record shown thins, first contact is the
# forming's whatever the record; against another forming, the difference.
golden(values_thinning_record_1 values cup/cup.tfc --quantity 8 --record 1)
golden(values_first_contact_record_1 values cup/cup.tfc --quantity 9 --record 1)
golden(values_first_contact_minus values cup/cup.tfc --quantity 9 --minus full/cup.tfc)
golden(cut_first_contact_save cut cup/cup.tfc --plane x --position 0.5 --quantity 9 --save first.csv)
golden_file(cut_first_contact_save_csv first.csv)
golden(cut_thinning_graph cut cup/cup.tfc --plane y --position 0 --quantity 8 --units us --graph)
# First contact needs every record: a gap refuses it, vtk leaves it without
# values and writes the rest.
golden(values_first_contact_gap values gap/cup.tfc --quantity 9)
golden(vtk_first_contact_gap vtk gap/cup.tfc --to vtk-gap --records last)
golden(values_record_1 values cup/cup.tfc --quantity 2 --record 1)
golden(values_fixed_limits values cup/cup.tfc --quantity 1 --min -1e9 --max 1e9)
# Options come in any order and the last of two wins.
golden(values_last_limits_win values cup/cup.tfc --max 5 --quantity 2 --min -1e9 --min -3)

# Cuts: their pieces, their graph or the cut window's file.
golden(cut_pieces cut cup/cup.tfc --plane x --position 12.5 --quantity 2 --record 2)
golden(cut_graph_us cut cup/cup.tfc --plane x --position 0.5 --units us --quantity 1 --graph)
golden(cut_graph_shuffled cut cup/cup.tfc --graph --quantity 3 --units si --position 0.5 --quantity 1
       --plane y --units us --plane x)
golden(cut_graph_y cut cup/cup.tfc --plane y --position -10 --quantity 4 --graph)
golden(cut_nothing cut cup/cup.tfc --plane z --position 500 --quantity 1 --graph)
golden(cut_nothing_pieces cut cup/cup.tfc --plane z --position 500 --quantity 1)
golden(cut_save cut cup/cup.tfc --plane x --position 0.5 --units us --quantity 2 --record 2 --save p.csv)
golden_file(cut_save_file p.csv)
golden(cut_save_nothing cut cup/cup.tfc --plane z --position 500 --quantity 1 --save p.csv)
golden_file(cut_save_nothing_file p.csv)
golden(cut_save_unwritable cut cup/cup.tfc --plane x --position 0.5 --quantity 1 --save none/p.csv)

# Data tips of nodes and elements.
golden(tip_node_1 tip cup/cup.tfc --node 1 --units si)
golden(tip_node_20_record_1 tip cup/cup.tfc --node 20 --record 1 --units us)
golden(tip_node_8 tip cup/cup.tfc --node 8)
golden(tip_node_12_record_1 tip cup/cup.tfc --node 12 --record 1)
golden(tip_sample_node_1000 tip @sample@ --node 1000 --record 8)
golden(tip_element_23 tip cup/cup.tfc --element 23)
golden(tip_element_0_us tip cup/cup.tfc --element 0 --units us)

# Exports: the result on stdout, the files replaced on stderr; what they copy
# is BatchExport's.
file(MAKE_DIRECTORY "${WORK}/copy")
golden(export export cup/cup.tfc --to @work@/copy)
golden(export_created export cup/cup.tfc --to @work@/created --create)
golden(export_first_last export cup/cup.tfc --to @work@/created/ --with-solution --first-last)
golden(export_incomplete export noprc/cup.tfc --to @work@/copy --with-solution)
golden(export_sample export @sample@ --to @work@/sample --with-solution --first-last --create)
golden(export_into_project_folder export cup/cup.tfc --to @work@/cup/.)
golden(export_blank_folder export cup/cup.tfc --to "  ")
golden(export_missing_folder export cup/cup.tfc --to @work@/none)
golden(export_missing_project export @work@/missing.tfc --to @work@/none --create)

# The difference of two variants: the project against itself (0 everywhere,
# limits 0), against the 4-record cup of the same mesh, and against the
# sample's other mesh (one line, status 2, no output).
golden(values_minus_itself values cup/cup.tfc --quantity 2 --minus cup/cup.tfc)
golden(values_minus_full values cup/cup.tfc --quantity 1 --record 2 --minus full/cup.tfc --minus-record 3)
golden(values_minus_other_mesh values cup/cup.tfc --quantity 1 --minus @sample@)
golden(values_minus_record_range values cup/cup.tfc --quantity 1 --minus full/cup.tfc --minus-record 9)
golden(values_minus_record_alone values cup/cup.tfc --quantity 1 --minus-record 2)
golden(cut_minus_itself cut cup/cup.tfc --plane x --position 0 --quantity 1 --minus cup/cup.tfc)
golden(cut_minus_full_graph cut cup/cup.tfc --plane x --position 0 --quantity 2 --units us --minus full/cup.tfc --graph)
golden(cut_minus_full_save cut cup/cup.tfc --plane x --position 0 --quantity 2 --units us --minus full/cup.tfc --save delta.csv)
golden_file(cut_minus_full_save_file delta.csv)
golden(cut_minus_other_mesh cut cup/cup.tfc --plane x --position 0 --quantity 1 --minus @sample@ --save other.csv)
golden(render_minus_other_mesh render cup/cup.tfc -o other.png --minus @sample@)
golden(values_minus_fixed_limits values cup/cup.tfc --quantity 2 --minus full/cup.tfc --min -1 --max 1)
# By position: the cup against a finer mesh of it. Its bottom nodes lie more
# than 5 mm from the finer sheet: nan, colour -1, counted in one line on
# stderr; a larger reach gives every node a value. Against itself by
# position is node by node.
execute_process(COMMAND "${SAMPLEGEN}" cup "${WORK}/fine" --cells 6 4 --records 3)
golden(values_minus_by_position values cup/cup.tfc --quantity 1 --minus fine/cup.tfc --by-position)
golden(values_minus_by_position_reach values cup/cup.tfc --quantity 2 --minus fine/cup.tfc --by-position
       --max-distance 20)
golden(values_minus_itself_by_position values cup/cup.tfc --quantity 2 --minus cup/cup.tfc --by-position)
golden(cut_minus_by_position cut cup/cup.tfc --plane x --position 0 --quantity 2 --units us --minus fine/cup.tfc
       --by-position --max-distance 1 --graph)
golden(values_by_position_alone values cup/cup.tfc --quantity 1 --by-position)
golden(values_max_distance_alone values cup/cup.tfc --quantity 1 --minus fine/cup.tfc --max-distance 2)
golden(values_max_distance_negative values cup/cup.tfc --quantity 1 --minus fine/cup.tfc --by-position
       --max-distance -1)

# Measured points against the sheet: the cup's gauge points (the table on
# stdout, the summary on stderr), in US units with a tolerance of 10% into a
# file (the summary on stdout), rows left out, points that miss (status 3),
# a rigid fit of points measured in another frame, and refusals.
execute_process(COMMAND "${SAMPLEGEN}" gauge "${WORK}/gauge.csv" --cells 4 3 --records 3)
execute_process(COMMAND "${SAMPLEGEN}" gauge "${WORK}/moved.csv" --cells 4 3 --records 3 --moved)
file(WRITE "${WORK}/bad-rows.csv"
     "label,x,y,z,thickness\nA,17.9,7,-54.6,1.83\nB,5.3,14.8\nC,x,16,-58.4,1.81\nD,-17.9,10.9,-54.6,nan\nE,-17.9,-7,-54.6,1.82\n")
file(WRITE "${WORK}/far.csv" "# one point on the cup, one above it\nx;y;z\n17,9;7;-54,6\n0;0;500\n")
file(WRITE "${WORK}/header-only.csv" "x,y,z,thickness\n")
golden(measure measure cup/cup.tfc --points gauge.csv)
golden(measure_us_tolerance measure cup/cup.tfc --points gauge.csv --units us --tolerance 10% -o measure-us.csv)
golden_file(measure_us_tolerance_table measure-us.csv)
golden(measure_tolerance_length measure cup/cup.tfc --points gauge.csv --tolerance 0.03 --record 3 -o measure.csv)
golden(measure_bad_rows measure cup/cup.tfc --points bad-rows.csv)
golden(measure_missed measure cup/cup.tfc --points far.csv)
golden(measure_max_distance measure cup/cup.tfc --points gauge.csv --max-distance 0.03 -o near.csv)
golden(measure_moved measure cup/cup.tfc --points moved.csv -o moved-table.csv)
golden(measure_fit_rigid measure cup/cup.tfc --points moved.csv --fit rigid -o fitted.csv)
golden_file(measure_fit_rigid_table fitted.csv)
golden(measure_no_points measure cup/cup.tfc)
golden(measure_missing_points measure cup/cup.tfc --points none.csv)
golden(measure_header_only measure cup/cup.tfc --points header-only.csv)
golden(measure_missing_project measure @work@/missing.tfc --points gauge.csv)
golden(measure_record_4 measure cup/cup.tfc --points gauge.csv --record 4)
golden(measure_fit_affine measure cup/cup.tfc --points gauge.csv --fit affine)
golden(measure_tolerance_negative measure cup/cup.tfc --points gauge.csv --tolerance -1%)
golden(measure_max_distance_text measure cup/cup.tfc --points gauge.csv --max-distance far)
golden(measure_unwritable measure cup/cup.tfc --points gauge.csv -o none/table.csv)

# Studies: a LIST with comments, blank lines and paths relative to its
# folder; a project of another size, a broken one and a missing one.
cup_project(study/long 5)
execute_process(COMMAND "${SAMPLEGEN}" cup "${WORK}/study/wide" --cells 6 3 --records 2 --name wide)
cup_project(study/broken 3)
file(WRITE "${WORK}/study/broken/cup.tfc" "not a project\n")
file(WRITE "${WORK}/study/list.txt"
     "# the cup variants\n\n../cup/cup.tfc\n  long/cup.tfc  \nbroken/cup.tfc\n#wide/wide.tfc\n\nwide/wide.tfc\nmissing.tfc\n")
file(WRITE "${WORK}/study/good.txt" "long/cup.tfc\n${WORK}/cup/cup.tfc\n")
golden(study study study/list.txt -o study/table.csv --jobs 1)
golden_file(study_table study/table.csv)
golden(study_good study study/good.txt -o study/good.csv)
golden_file(study_good_table study/good.csv)
golden(study_us_record_2 study study/list.txt -o study/us.csv --units us --record 2)
golden_file(study_us_record_2_table study/us.csv)
golden(study_record_last study study/good.txt -o study/last.csv --record last --jobs 2)
golden_file(study_record_last_table study/last.csv)
golden(study_record_4 study study/good.txt -o study/r4.csv --record 4)
golden_file(study_record_4_table study/r4.csv)
golden(study_no_list study -o study/none.csv)
golden(study_record_0 study study/list.txt -o study/none.csv --record 0)
golden(study_missing_list study study/none.txt -o study/none.csv)
golden(study_unwritable study study/good.txt -o study/none/t.csv)
# Any number of jobs gives the same bytes.
golden(study_jobs_2 study study/list.txt -o study/table-2.csv --jobs 2)
identical(study_jobs_2_table study/table.csv study/table-2.csv)
# Three shares and their gathering give the one-machine table; Slurm's array
# variables give the share when --task is not given.
foreach(task 0 2)
  golden(study_part_${task} study study/list.txt --task ${task} --of 3 -o study/part-${task}.csv)
endforeach()
set(ENV{SLURM_ARRAY_TASK_ID} 5)
set(ENV{SLURM_ARRAY_TASK_MIN} 4)
set(ENV{SLURM_ARRAY_TASK_MAX} 6)
golden(study_part_slurm study study/list.txt -o study/part-1.csv)
unset(ENV{SLURM_ARRAY_TASK_MIN})
unset(ENV{SLURM_ARRAY_TASK_MAX})
set(ENV{SLURM_ARRAY_TASK_ID} 1)
set(ENV{SLURM_ARRAY_TASK_COUNT} 3)
golden(study_part_slurm_count study study/list.txt -o study/part-1b.csv)
unset(ENV{SLURM_ARRAY_TASK_ID})
unset(ENV{SLURM_ARRAY_TASK_COUNT})
identical(study_part_slurm_count_file study/part-1.csv study/part-1b.csv)
golden_file(study_part_1_file study/part-1.csv)
golden(study_gather study --gather study/part-2.csv study/part-0.csv study/part-1.csv -o study/gathered.csv)
identical(study_gather_table study/table.csv study/gathered.csv)
golden(study_task_3_of_3 study study/list.txt --task 3 --of 3 -o study/none.csv)
golden(study_task_without_of study study/list.txt --task 1 -o study/none.csv)
golden(study_gather_missing study --gather study/part-0.csv study/part-2.csv -o study/none.csv)
golden(study_gather_twice study --gather study/part-0.csv study/part-0.csv study/part-2.csv -o study/none.csv)
golden(study_good_part study study/good.txt --task 0 --of 3 -o study/good-0.csv)
golden(study_gather_other_list study --gather study/part-1.csv study/good-0.csv study/part-2.csv -o study/none.csv)
golden(study_gather_not_a_part study --gather study/table.csv -o study/none.csv)
# The pictures, named after the projects' paths, and the chart (its size).
# With no runtime folder, as in a cluster's jobs, Qt says nothing about it.
# Left out where the build draws no test frames (the AddressSanitizer build:
# Mesa is not ours to check).
if(DRAWS)
  unset(ENV{XDG_RUNTIME_DIR})
  golden(study_pictures study study/list.txt -o study/pictures.csv --pictures study/pictures --chart study/chart.png)
  file(GLOB pictures RELATIVE "${WORK}/study/pictures" "${WORK}/study/pictures/*")
  file(READ "${WORK}/study/chart.png" chart OFFSET 12 LIMIT 12 HEX)
  compare(study_pictures_files "${pictures}\nchart ${chart}\n")
  golden_file(study_pictures_table study/pictures.csv)
  # Paths that map to one picture name: the later ones take their line in
  # the list. Shares name them alike, into one folder, and the gathering
  # draws the chart of the whole study.
  foreach(project q/r_x/x q_r/x/x v1/cup v1_cup)
    get_filename_component(folder "${WORK}/same/${project}" DIRECTORY)
    get_filename_component(name "${project}" NAME)
    execute_process(COMMAND "${SAMPLEGEN}" cup "${folder}" --cells 4 3 --records 2 --name ${name})
  endforeach()
  file(WRITE "${WORK}/same/list.txt"
       "q/r_x/x.tfc\n# the same picture name\nq_r/x/x.tfc\nv1/cup.tfc\nv1_cup.tfc\nV1/cup.tfc\n")
  golden(study_same_names study same/list.txt -o same.csv --pictures same-pictures --chart same-chart.png)
  golden_file(study_same_names_table same.csv)
  file(GLOB pictures RELATIVE "${WORK}/same-pictures" "${WORK}/same-pictures/*")
  compare(study_same_names_files "${pictures}\n")
  foreach(task 0 1)
    golden(study_same_names_part_${task} study same/list.txt --task ${task} --of 2 -o same-${task}.csv --pictures same-shares)
  endforeach()
  file(GLOB pictures RELATIVE "${WORK}/same-shares" "${WORK}/same-shares/*")
  compare(study_same_names_shares_files "${pictures}\n")
  golden(study_gather_chart study --gather same-1.csv same-0.csv -o same-gathered.csv --chart same-gathered.png)
  identical(study_gather_chart_table same.csv same-gathered.csv)
  identical(study_gather_chart_image same-chart.png same-gathered.png)
endif()

# A last record whose values are not all numbers (node 2 at x = infinity,
# element 3's temperature a NaN with its sign bit set): one warning naming
# them, on stderr; those values out of the limits, means and sums, their
# colour -1; the study's row says so in its status.
execute_process(COMMAND "${SAMPLEGEN}" cup "${WORK}/nonfinite" --cells 4 3 --records 2 --nonfinite)
golden(values_nonfinite values nonfinite/cup.tfc --quantity 2)
golden(values_nonfinite_thickness values nonfinite/cup.tfc --quantity 1)
golden(values_nonfinite_record_1 values nonfinite/cup.tfc --quantity 2 --record 1)
golden(values_nonfinite_minus values nonfinite/cup.tfc --quantity 2 --minus cup/cup.tfc --minus-record 2)
golden(report_sheet_nonfinite report sheet nonfinite/cup.tfc)
file(WRITE "${WORK}/study/nonfinite.txt" "../nonfinite/cup.tfc\n../cup/cup.tfc\n")
golden(study_nonfinite study study/nonfinite.txt -o study/nonfinite.csv)
golden_file(study_nonfinite_table study/nonfinite.csv)
# Uneven fixed limits of a difference keep white at 0.
golden(values_minus_uneven_limits values cup/cup.tfc --quantity 2 --minus cup/cup.tfc --min -0.5 --max 1)

# No output replaces a file the command reads, through a link or not: one
# line, status 2, the file as it was.
file(CREATE_LINK "${WORK}/cup/cup.002" "${WORK}/record-link.png" SYMBOLIC)
file(CREATE_LINK "${WORK}/full/cup.001" "${WORK}/reference-link.csv" SYMBOLIC)
file(MAKE_DIRECTORY "${WORK}/vtk-links")
file(CREATE_LINK "${WORK}/cup/cup.tfc" "${WORK}/vtk-links/cup_2.vtu" SYMBOLIC)
file(CREATE_LINK "${WORK}/cup/cup.002" "${WORK}/record-link.glb" SYMBOLIC)
configure_file("${WORK}/cup/cup.002" "${WORK}/record-2-before" COPYONLY)
golden(output_is_the_project study study/good.txt -o cup/cup.tfc)
golden(output_is_the_list study study/good.txt -o study/good.txt)
golden(output_is_a_listed_project study study/good.txt -o study/long/cup.000 --jobs 1)
golden(cut_save_is_a_record cut cup/cup.tfc --plane x --position 0.5 --quantity 1 --save cup/cup.000)
golden(cut_save_is_the_sheet cut cup/cup.tfc --plane x --position 0.5 --quantity 1 --save cup/cup.sht)
golden(cut_save_is_a_reference_record cut cup/cup.tfc --plane x --position 0 --quantity 1 --minus full/cup.tfc
       --save reference-link.csv)
golden(render_is_a_record render cup/cup.tfc -o record-link.png)
golden(video_is_the_project video cup/cup.tfc -o cup/cup.tfc)
golden(vtk_file_is_the_project vtk cup/cup.tfc --to vtk-links --records 1,2)
golden(gltf_is_a_record gltf cup/cup.tfc -o cup/cup.001)
golden(gltf_is_a_link_to_a_record gltf cup/cup.tfc -o record-link.glb)
golden(gltf_is_a_reference_record gltf cup/cup.tfc -o reference-link.csv --minus full/cup.tfc)
identical(gltf_is_a_link_to_a_record_kept cup/cup.002 record-2-before)
golden(measure_output_is_the_points measure cup/cup.tfc --points gauge.csv -o gauge.csv)
golden(measure_output_is_a_record measure cup/cup.tfc --points gauge.csv -o record-link.png)
golden_file(measure_output_is_the_points_file gauge.csv)
golden(gather_into_a_part study --gather study/part-0.csv study/part-1.csv study/part-2.csv -o study/part-1.csv)
golden_file(output_is_the_project_file cup/cup.tfc)
if(DRAWS)
  file(MAKE_DIRECTORY "${WORK}/picture-links")
  file(CREATE_LINK "${WORK}/study/long/cup.003" "${WORK}/picture-links/long_cup.png" SYMBOLIC)
  golden(picture_is_a_record study study/good.txt -o study/good-again.csv --pictures picture-links)
  golden(chart_is_a_record study study/good.txt -o study/good-again.csv --chart cup/cup.001)
  golden(gather_chart_on_a_part study --gather study/part-0.csv study/part-1.csv study/part-2.csv
         -o study/none.csv --chart study/part-2.csv)
endif()

# The series of a vtk export lists its records in their order, whatever the
# order asked for; a record whose time is not a number numbers them all.
cup_project(nan-time 3)
file(READ "${WORK}/nan-time/cup.tfc" project)
string(REPLACE "0.2  s" "nan  s" project "${project}")
file(WRITE "${WORK}/nan-time/cup.tfc" "${project}")
golden(vtk_records_out_of_order vtk cup/cup.tfc --to vtk-order --records 3,1)
golden_file(vtk_records_out_of_order_pvd vtk-order/cup.pvd)
golden(vtk_time_not_a_number vtk nan-time/cup.tfc --to vtk-nan --records 3,1,2)
golden_file(vtk_time_not_a_number_pvd vtk-nan/cup.pvd)

# "--" ends the options: a LIST whose name starts with "-" is a file.
file(WRITE "${WORK}/-dash.txt" "cup/cup.tfc\n")
golden(study_list_after_dashes study -o dash.csv -- -dash.txt)
golden_file(study_list_after_dashes_table dash.csv)

# The forming summary: the figures of the record with the first contact over
# every record; in US units with a minimum wall; a quarter model gives the
# whole part's areas, its own counts; a gap in the records stops the first
# contact with the missing file's name. --min-wall goes with forming only.
execute_process(COMMAND "${SAMPLEGEN}" cup "${WORK}/quarter" --cells 4 3 --records 3 --quarter)
golden(report_forming report forming cup/cup.tfc)
golden(report_forming_us report forming cup/cup.tfc --units us --record 2 --min-wall 0.1)
golden(report_forming_quarter report forming quarter/cup.tfc --min-wall 2.5)
golden(report_forming_gap report forming gap/cup.tfc)
golden(report_forming_nonfinite report forming nonfinite/cup.tfc --min-wall 2)
golden(report_min_wall_not_forming report sheet cup/cup.tfc --min-wall 1)
golden(report_min_wall_zero report forming cup/cup.tfc --min-wall 0)
golden(values_min_wall values cup/cup.tfc --quantity 2 --min-wall 2.5)
golden(gltf_min_wall_nan gltf cup/cup.tfc -o model.glb --min-wall nan)
# The study's columns of the forming summary, filled with --min-wall (in the
# table's units), and the parts of a study with one gathered alone.
golden(study_min_wall study study/list.txt -o study/wall.csv --units us --min-wall 0.1 --jobs 1)
golden_file(study_min_wall_table study/wall.csv)
golden(study_min_wall_part study study/list.txt --task 0 --of 2 -o study/wall-0.csv --min-wall 2.5)
golden_file(study_min_wall_part_file study/wall-0.csv)
golden(study_min_wall_other_part study study/list.txt --task 1 --of 2 -o study/wall-1.csv)
golden(study_gather_other_min_wall study --gather study/wall-0.csv study/wall-1.csv -o study/none.csv)
