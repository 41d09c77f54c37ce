-- A pump without switch-on level.
-- expect: H81
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = NULL WHERE bez = 'P1';
