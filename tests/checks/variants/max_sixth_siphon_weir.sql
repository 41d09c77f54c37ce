-- Six siphon weirs: five runs of marked pressure pipes appended after the
-- plant's own one, each separated by an unmarked pipe.
-- expect: max
-- level: 2
-- text: Heberwehren
-- text:    5 
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1001, 1, 'D91', '#HEBER');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1002, 1, 'D92', 'Rohr');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1003, 1, 'D93', '#HEBER');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1004, 1, 'D94', 'Rohr');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1005, 1, 'D95', '#HEBER');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1006, 1, 'D96', 'Rohr');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1007, 1, 'D97', '#HEBER');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1008, 1, 'D98', 'Rohr');
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung) VALUES (1009, 1, 'D99', '#HEBER');
